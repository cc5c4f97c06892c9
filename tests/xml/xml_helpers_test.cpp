// XML documents through MSXML2: parsing, new nodes, attribute edits, lookups and node walks.
#include <tarvox/xml.h>

#include "tests/support/sandbox_fixture.h"
#include "xml/msxml_ids.h"

namespace {

using X = CXMLHelpers;
using DocPtr = X::DocPtr;
using NodePtr = X::NodePtr;

std::wstring Name(IXMLDOMNode* node) {
    std::wstring name;
    if (node) X::GetNodeName(node, name);
    return name;
}
std::wstring RootName(DocPtr& doc) {
    Microsoft::WRL::ComPtr<IXMLDOMElement> root;
    return doc && doc->get_documentElement(root.GetAddressOf()) == S_OK && root
               ? Name(NodePtr(root).Get())
               : L"";
}
// The value of an attribute, "<none>" when it is missing.
std::wstring Attr(NodePtr& node, const wchar_t* name) {
    std::wstring value = L"<none>";
    X::GetAttributeValue(name, node, value);
    return value;
}
ULONG References(IXMLDOMNode* node) {
    node->AddRef();
    return node->Release();
}

// The calling thread keeps COM initialised while it holds documents.
class XmlTest : public tarvox::test::SandboxTest {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// Without a mark an XML declaration means UTF-8, whatever encoding it names: Latin-1 letters
// are no UTF-8 and become replacement characters, the document still loads.
TEST_F(XmlTest, DocumentsFromBuffersNamesAndFilesInEveryEncoding) {
    DocPtr doc, named, bad, missing, none;
    ASSERT_EQ(X::GetDocumentFromBuffer(nullptr, doc), 1);
    EXPECT_EQ(RootName(doc), L"gbXML");
    ASSERT_EQ(X::GetNewDocument(named, L"Root"), 1);
    EXPECT_EQ(RootName(named), L"Root");
    EXPECT_EQ(X::GetDocumentFromBuffer(L"<a><b></a>", bad), 0);
    EXPECT_TRUE(bad);  // the empty document stays
    EXPECT_EQ(RootName(bad), L"");
    const struct {
        const wchar_t* file;
        std::string bytes;
        const wchar_t* text;  // nullptr: the document does not load
    } cases[] = {{L"le.xml", std::string("\xFF\xFE<\0r\0>\0\xE4\0<\0/\0r\0>\0", 20), L"\u00E4"},
                 {L"u.xml", "<?xml version=\"1.0\"?><r>\xE2\x82\xAC</r>", L"\u20AC"},
                 {L"l.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>Gr\xFC\337e</r>",
                  L"Gr\uFFFD\uFFFDe"},
                 {L"e.xml", "", nullptr}};
    for (const auto& c : cases) {
        DocPtr fileDoc;
        NodePtr root;
        std::wstring text;
        ASSERT_EQ(X::GetDocumentFromFile(temp.WriteFile(c.file, c.bytes).c_str(), fileDoc),
                  c.text ? 1 : 0)
            << c.file;
        if (!c.text) continue;
        ASSERT_EQ(X::GetNode(L"r", fileDoc, root), 1);
        EXPECT_EQ(X::GetNodeText(root, text), 1);
        EXPECT_EQ(text, c.text) << c.file;
    }
    EXPECT_EQ(X::GetDocumentFromFile((temp / L"none.xml").c_str(), missing), 0);
    EXPECT_EQ(X::GetDocumentFromFile(L"", none), 0);
}

TEST_F(XmlTest, DocumentAndChildLookups) {
    DocPtr doc;
    NodePtr node, root, child, attr;
    ASSERT_EQ(
        X::GetDocumentFromBuffer(L"<r><Item id=\"1\"><item/></Item><two/><two/><!--c--></r>", doc),
        1);
    EXPECT_EQ(X::GetNode(L"two", doc, node), 0);
    EXPECT_FALSE(node);
    EXPECT_EQ(X::GetNode(L"nothing", doc, node), 0);
    EXPECT_EQ(X::GetNode(L"Item", doc, node), 1);
    EXPECT_EQ(X::GetNode(L"item", doc, node), 1);  // tag names match exactly
    ASSERT_EQ(X::GetNode(L"r", doc, root), 1);
    ASSERT_EQ(X::GetNode(L"ITEM", root, child), 1);
    EXPECT_EQ(Attr(child, L"id"), L"1");
    EXPECT_EQ(X::GetNode(L"#comment", root, child), 1);
    // Only direct children are searched.
    NodePtr walker = root;
    EXPECT_EQ(X::GetNode(L"nope", walker, walker), 0);
    EXPECT_EQ(walker.Get(), root.Get());  // kept on failure
    ASSERT_EQ(X::GetNode(L"item", walker, walker), 1);
    EXPECT_EQ(Name(walker.Get()), L"Item");
    ASSERT_EQ(X::GetNode(L"item", walker, walker), 1);
    EXPECT_EQ(Name(walker.Get()), L"item");
    EXPECT_EQ(X::GetAttribute(L"Item", L"id", doc, attr), 1);
    EXPECT_EQ(X::GetAttribute(L"Item", L"missing", doc, attr), 0);
    EXPECT_FALSE(attr);
    std::wstring value = L"kept";
    EXPECT_EQ(X::GetAttributeValue(L"missing", root, value), 0);
    EXPECT_EQ(value, L"kept");
    EXPECT_EQ(X::GetNodeText(L"nothing", root, value), 0);
    EXPECT_EQ(value, L"");
}

TEST_F(XmlTest, AttributesAndChildren) {
    DocPtr doc, noDoc;
    NodePtr root, attr, child, none, loose, made, parentOfMade, fragment, g;
    ASSERT_EQ(X::GetNewDocument(doc, L"Root"), 1);
    ASSERT_EQ(X::GetNode(L"Root", doc, root), 1);
    ASSERT_EQ(X::AddAttributeNode(L"x", nullptr, root, attr), 1);
    EXPECT_EQ(Attr(root, L"x"), L"");
    ASSERT_EQ(X::AddAttributeNode(L"x", L"1", root, attr), 1);
    EXPECT_EQ(X::AddAttributeNodes(root, L"a", L"1", L"", L"skip", L"b", L"2", nullptr, nullptr,
                                   L"c", L"3"),
              1);
    EXPECT_EQ(Attr(root, L"x"), L"1");
    EXPECT_EQ(Attr(root, L"b"), L"2");
    EXPECT_EQ(Attr(root, L"c"), L"<none>");
    Microsoft::WRL::ComPtr<IXMLDOMNamedNodeMap> map;
    long count = 0;
    ASSERT_EQ(root->get_attributes(map.GetAddressOf()), S_OK);
    map->get_length(&count);
    EXPECT_EQ(count, 3);

    ASSERT_EQ(X::AddChildNode(L"Child", root, child, L"text", L"k", L"v"), 1);
    EXPECT_EQ(Attr(child, L"k"), L"v");
    std::wstring text;
    EXPECT_EQ(X::GetNodeText(L"child", root, text), 1);
    EXPECT_EQ(text, L"text");
    EXPECT_EQ(X::AddChildNode(L"", root, child), 0);
    EXPECT_FALSE(child);
    EXPECT_EQ(X::AddChildNode(L"x", none, child), 0);

    ASSERT_EQ(X::GetNewNode(noDoc, loose, L"Loose"), 1);
    EXPECT_EQ(Name(loose.Get()), L"Loose");
    ASSERT_EQ(X::GetNewNode(L"Made", root, made), 1);
    EXPECT_EQ(Name(made.Get()), L"Made");
    EXPECT_EQ(made->get_parentNode(parentOfMade.GetAddressOf()), S_FALSE);  // not attached
    ASSERT_EQ(X::GetNewNodeFromXMLString(fragment, L"<f a=\"1\"><g/></f>"), 1);
    EXPECT_EQ(Attr(fragment, L"a"), L"1");
    EXPECT_EQ(X::GetNode(L"g", fragment, g), 1);  // a deep copy
    EXPECT_EQ(X::GetNewNodeFromXMLString(fragment, L"<broken>"), 0);
    EXPECT_FALSE(fragment);
}

TEST_F(XmlTest, NodeWalksAndTheReferenceRulesOfTheResultArray) {
    DocPtr doc;
    NodePtr root, a;
    ASSERT_EQ(X::GetDocumentFromBuffer(L"<r><a><b/></a>text</r>", doc), 1);
    ASSERT_EQ(X::GetNode(L"r", doc, root), 1);
    ASSERT_EQ(X::GetNode(L"a", root, a), 1);
    const ULONG rootRefs = References(root.Get());
    {
        X::CNodeResultArray all(root.Get());
        ASSERT_EQ(X::GetAllNodes(all, nullptr, nullptr), 1);
        ASSERT_EQ(all.GetSize(), 4);
        std::vector<std::wstring> names;
        for (long long i = 0; i < all.GetSize(); ++i) names.push_back(Name(all[i]));
        EXPECT_EQ(names, (std::vector<std::wstring>{L"r", L"a", L"b", L"#text"}));
        EXPECT_EQ(all[0], root.Get());
        // Found nodes hold a reference of the array's own; the root is borrowed.
        EXPECT_GE(References(all[1]), 1u);
        EXPECT_EQ(References(root.Get()), rootRefs);
        all.Release();
        EXPECT_EQ(all.GetSize(), 0);
        EXPECT_EQ(all.Root(), nullptr);
        EXPECT_EQ(References(root.Get()), rootRefs);
        all.Release();  // nothing left: no change
    }
    X::CNodeResultArray only(nullptr);
    EXPECT_EQ(X::GetAllNodes(only, nullptr, nullptr), 0);
    ASSERT_EQ(X::GetAllNodes(only, root.Get(), L"A"), 1);
    ASSERT_EQ(only.GetSize(), 1);
    EXPECT_EQ(Name(only[0]), L"a");
    EXPECT_EQ(only.Root(), root.Get());
    EXPECT_EQ(X::GetAllNodes(only, root.Get(), L"zzz"), 0);
    {
        // A later walk from another node appends that node without taking a reference.
        X::CNodeResultArray more(root.Get());
        X::GetAllNodes(more, nullptr, L"r");
        X::GetAllNodes(more, a.Get(), nullptr);
        EXPECT_EQ(more.GetSize(), 3);
    }
    only.Release();
    EXPECT_EQ(only.GetSize(), 0);
    EXPECT_EQ(References(root.Get()), rootRefs);
}

TEST_F(XmlTest, AWalkOverATreeAHundredThousandLevelsDeepKeepsItsOrder) {
    // Deeper than any thread's stack would take one frame per level.
    constexpr int kDepth = 100000;
    DocPtr doc;
    NodePtr root, after;
    ASSERT_EQ(X::GetNewDocument(doc, L"r"), 1);
    ASSERT_EQ(X::GetNode(L"r", doc, root), 1);
    NodePtr parent = root;
    for (int level = 0; level < kDepth; ++level) {
        NodePtr child;
        ASSERT_EQ(X::AddChildNode(level + 1 == kDepth ? L"leaf" : L"d", parent, child), 1);
        parent = child;
    }
    ASSERT_EQ(X::AddChildNode(L"after", root, after), 1);

    X::CNodeResultArray all(root.Get()), leaves(root.Get());
    ASSERT_EQ(X::GetAllNodes(all, nullptr, nullptr), 1);
    ASSERT_EQ(all.GetSize(), kDepth + 2);
    EXPECT_EQ(all[0], root.Get());
    std::vector<std::wstring> names;
    for (int i = 0; i < 4; ++i) names.push_back(Name(all[kDepth - 2 + i]));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"d", L"d", L"leaf", L"after"}));
    ASSERT_EQ(X::GetAllNodes(leaves, nullptr, L"LEAF"), 1);
    EXPECT_EQ(leaves.GetSize(), 1);
}

}  // namespace
