// The shared library that a layer is linked into whole, with only the layers it uses, so that
// a call from it into a higher layer fails to link. It adds nothing of its own.
