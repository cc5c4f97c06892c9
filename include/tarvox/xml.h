// Text files with encoding detection, as configuration files and XML documents are read.
#pragma once

#include <tarvox/export.h>

#include <windows.h>

#include <tarvox/text_file_type.h>

// The encoding of the bytes by their mark, or UTF-8 for a markless "<?xml" start, else ANSI.
TARVOX_API TextFileType::Type DetectTextFileType(const BYTE* bytes, DWORD count);

// Reads count bytes from file and decodes them into buffer (room for count + 1 wide characters;
// the caller writes the terminator after *charCount characters). *charCount first receives the
// number of bytes read and then the number of characters decoded (for ANSI text it stays the
// byte count). Returns the read's success, or 0 for a zero count.
TARVOX_API BOOL ReadTextFile(HANDLE file, wchar_t* buffer, DWORD count, DWORD* charCount,
                             OVERLAPPED* overlapped, TextFileType::Type* type);

// XML documents through the MSXML2 document object model (COM).
//
// Documents and nodes are held in COM smart pointers that the caller owns. Every operation
// returns 1 for success and 0 for failure. Operations that create a document initialise COM
// for their own duration when the calling thread has not done so; a caller that keeps
// documents or nodes initialises COM itself and keeps it for as long as it holds them.
#include <msxml2.h>
#include <wrl/client.h>

#include <string>
#include <vector>

class TARVOX_API CXMLHelpers {
public:
    using DocPtr = Microsoft::WRL::ComPtr<IXMLDOMDocument>;
    using NodePtr = Microsoft::WRL::ComPtr<IXMLDOMNode>;

    // The nodes of a tree walk, in the order found. Every element holds a reference of the
    // array's own, except the nodes that were passed in to GetAllNodes (among them the root),
    // which are borrowed.
    class TARVOX_API CNodeResultArray {
    public:
        explicit CNodeResultArray(IXMLDOMNode* root = nullptr) : m_Root(root) {}
        virtual ~CNodeResultArray();
        CNodeResultArray(const CNodeResultArray&) = delete;
        CNodeResultArray& operator=(const CNodeResultArray&) = delete;

        // Drops the array's references, empties it and forgets the root.
        void Release();

        long long GetSize() const { return static_cast<long long>(m_Nodes.size()); }
        IXMLDOMNode* GetAt(long long index) const {
            return m_Nodes[static_cast<std::size_t>(index)];
        }
        IXMLDOMNode* operator[](long long index) const { return GetAt(index); }
        IXMLDOMNode* Root() const { return m_Root; }

    private:
        friend class CXMLHelpers;
        void Append(IXMLDOMNode* node, bool owned);

        IXMLDOMNode* m_Root;
        std::vector<IXMLDOMNode*> m_Nodes;
        std::vector<bool> m_Owned;
    };

    // Documents.
    static int GetDocumentFromBuffer(const wchar_t* text, DocPtr& doc);
    static int GetNewDocument(DocPtr& doc, const wchar_t* rootName);
    static int GetDocumentFromFile(const wchar_t* path, DocPtr& doc);

    // New nodes, not attached to a parent.
    static int GetNewNode(DocPtr& doc, NodePtr& node, const wchar_t* name);
    static int GetNewNode(NodePtr& node, const wchar_t* name, const wchar_t* text);
    static int GetNewNode(const wchar_t* name, const wchar_t* text, NodePtr& parent, NodePtr& node);
    static int GetNewNode(const wchar_t* name, NodePtr& parent, NodePtr& node);
    static int GetNewNodeFromXMLString(NodePtr& node, const wchar_t* xml);
    static int GetNewAttribute(const wchar_t* name, const wchar_t* value, NodePtr& owner,
                               NodePtr& attr);

    // Editing.
    static int AddAttributeNode(const wchar_t* name, const wchar_t* value, NodePtr& element,
                                NodePtr& attr);
    static int AddAttributeNodes(NodePtr& element, const wchar_t* name1 = nullptr,
                                 const wchar_t* value1 = nullptr, const wchar_t* name2 = nullptr,
                                 const wchar_t* value2 = nullptr, const wchar_t* name3 = nullptr,
                                 const wchar_t* value3 = nullptr, const wchar_t* name4 = nullptr,
                                 const wchar_t* value4 = nullptr, const wchar_t* name5 = nullptr,
                                 const wchar_t* value5 = nullptr, const wchar_t* name6 = nullptr,
                                 const wchar_t* value6 = nullptr, const wchar_t* name7 = nullptr,
                                 const wchar_t* value7 = nullptr);
    static int AddChildNode(const wchar_t* name, NodePtr& parent, NodePtr& child,
                            const wchar_t* text = nullptr, const wchar_t* name1 = nullptr,
                            const wchar_t* value1 = nullptr, const wchar_t* name2 = nullptr,
                            const wchar_t* value2 = nullptr, const wchar_t* name3 = nullptr,
                            const wchar_t* value3 = nullptr, const wchar_t* name4 = nullptr,
                            const wchar_t* value4 = nullptr, const wchar_t* name5 = nullptr,
                            const wchar_t* value5 = nullptr, const wchar_t* name6 = nullptr,
                            const wchar_t* value6 = nullptr, const wchar_t* name7 = nullptr,
                            const wchar_t* value7 = nullptr);

    // Lookup and reading.
    static int GetNode(const wchar_t* tagName, DocPtr& doc, NodePtr& node);
    static int GetNode(const wchar_t* name, NodePtr& parent, NodePtr& node);
    static int GetAttribute(const wchar_t* name, NodePtr& element, NodePtr& attr);
    static int GetAttribute(const wchar_t* tagName, const wchar_t* attrName, DocPtr& doc,
                            NodePtr& attr);
    static int GetAttributeValue(const wchar_t* name, NodePtr& element, std::wstring& value);
    static int GetNodeName(NodePtr& node, std::wstring& name);
    static int GetNodeName(IXMLDOMNode* node, std::wstring& name);
    static int GetNodeText(NodePtr& node, std::wstring& text);
    static int GetNodeText(const wchar_t* name, NodePtr& parent, std::wstring& text);
    static int GetAllNodes(CNodeResultArray& result, IXMLDOMNode* node, const wchar_t* name);

private:
    struct AttributePairs {
        const wchar_t* names[7];
        const wchar_t* values[7];
    };
    static int ApplyAttributes(NodePtr& element, const AttributePairs& pairs);
};
