// XML documents through MSXML2: parsing, new nodes, attribute edits, lookups and node walks.
#include <tarvox/xml.h>

#include "tests/support/sandbox_fixture.h"
#include "xml/msxml_ids.h"

#include <gtest/gtest.h>

namespace {

using DocPtr = CXMLHelpers::DocPtr;
using NodePtr = CXMLHelpers::NodePtr;

// The calling thread keeps COM initialised while it holds documents.
class XmlTest : public tarvox::test::SandboxTest {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    static std::wstring RootName(DocPtr& doc) {
        ComPtrElement root;
        std::wstring name;
        if (doc && doc->get_documentElement(root.GetAddressOf()) == S_OK && root) {
            NodePtr node;
            root.As(&node);
            CXMLHelpers::GetNodeName(node, name);
        }
        return name;
    }
    static ULONG References(IXMLDOMNode* node) {
        node->AddRef();
        return node->Release();
    }
    using ComPtrElement = Microsoft::WRL::ComPtr<IXMLDOMElement>;
};

TEST_F(XmlTest, DocumentsFromBuffersNamesAndBadMarkup) {
    DocPtr doc;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromBuffer(nullptr, doc), 1);
    EXPECT_EQ(RootName(doc), L"gbXML");
    DocPtr named;
    ASSERT_EQ(CXMLHelpers::GetNewDocument(named, L"Root"), 1);
    EXPECT_EQ(RootName(named), L"Root");
    DocPtr bad;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(L"<a><b></a>", bad), 0);
    EXPECT_TRUE(bad);  // the empty document stays
    EXPECT_EQ(RootName(bad), L"");
}

TEST_F(XmlTest, DocumentsFromFilesInEveryEncoding) {
    const std::string utf16("\xFF\xFE<\0r\0>\0\xE4\0<\0/\0r\0>\0", 20);
    DocPtr doc;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromFile(temp.WriteFile(L"le.xml", utf16).c_str(), doc), 1);
    NodePtr root;
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", doc, root), 1);
    std::wstring text;
    EXPECT_EQ(CXMLHelpers::GetNodeText(root, text), 1);
    EXPECT_EQ(text, L"\u00E4");

    DocPtr utf8;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromFile(
                  temp.WriteFile(L"u.xml", "<?xml version=\"1.0\"?><r>\xE2\x82\xAC</r>").c_str(), utf8), 1);
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", utf8, root), 1);
    CXMLHelpers::GetNodeText(root, text);
    EXPECT_EQ(text, L"\u20AC");

    // Without a mark an XML declaration means UTF-8, whatever encoding it names: Latin-1
    // letters are no UTF-8 and become replacement characters, the document still loads.
    DocPtr latin1;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromFile(
                  temp.WriteFile(L"l.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<r>Gr\xFC\xDF" "e</r>")
                      .c_str(), latin1), 1);
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", latin1, root), 1);
    CXMLHelpers::GetNodeText(root, text);
    EXPECT_EQ(text, L"Gr\uFFFD\uFFFDe");

    DocPtr empty;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromFile(temp.WriteFile(L"e.xml", "").c_str(), empty), 0);
    DocPtr missing;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromFile((temp / L"none.xml").c_str(), missing), 0);
    DocPtr none;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromFile(L"", none), 0);
}

TEST_F(XmlTest, DocumentAndChildLookups) {
    DocPtr doc;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromBuffer(
                  L"<r><Item id=\"1\"><item/></Item><two/><two/><!--c--></r>", doc), 1);
    NodePtr node;
    EXPECT_EQ(CXMLHelpers::GetNode(L"two", doc, node), 0);
    EXPECT_FALSE(node);
    EXPECT_EQ(CXMLHelpers::GetNode(L"nothing", doc, node), 0);
    EXPECT_EQ(CXMLHelpers::GetNode(L"Item", doc, node), 1);
    EXPECT_EQ(CXMLHelpers::GetNode(L"item", doc, node), 1);  // tag names match exactly

    NodePtr root;
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", doc, root), 1);
    NodePtr child;
    ASSERT_EQ(CXMLHelpers::GetNode(L"ITEM", root, child), 1);
    std::wstring value;
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"id", child, value), 1);
    EXPECT_EQ(value, L"1");
    EXPECT_EQ(CXMLHelpers::GetNode(L"#comment", root, child), 1);
    // Only direct children are searched.
    NodePtr walker = root;
    EXPECT_EQ(CXMLHelpers::GetNode(L"nope", walker, walker), 0);
    EXPECT_EQ(walker.Get(), root.Get());  // kept on failure
    ASSERT_EQ(CXMLHelpers::GetNode(L"item", walker, walker), 1);
    std::wstring name;
    CXMLHelpers::GetNodeName(walker, name);
    EXPECT_EQ(name, L"Item");
    ASSERT_EQ(CXMLHelpers::GetNode(L"item", walker, walker), 1);
    CXMLHelpers::GetNodeName(walker, name);
    EXPECT_EQ(name, L"item");
    NodePtr attr;
    EXPECT_EQ(CXMLHelpers::GetAttribute(L"Item", L"id", doc, attr), 1);
    EXPECT_EQ(CXMLHelpers::GetAttribute(L"Item", L"missing", doc, attr), 0);
    EXPECT_FALSE(attr);
    value = L"kept";
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"missing", root, value), 0);
    EXPECT_EQ(value, L"kept");
    EXPECT_EQ(CXMLHelpers::GetNodeText(L"nothing", root, value), 0);
    EXPECT_EQ(value, L"");
}

TEST_F(XmlTest, AttributesAndChildren) {
    DocPtr doc;
    ASSERT_EQ(CXMLHelpers::GetNewDocument(doc, L"Root"), 1);
    NodePtr root;
    ASSERT_EQ(CXMLHelpers::GetNode(L"Root", doc, root), 1);
    NodePtr attr;
    ASSERT_EQ(CXMLHelpers::AddAttributeNode(L"x", nullptr, root, attr), 1);
    std::wstring created = L"unset";
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"x", root, created), 1);
    EXPECT_EQ(created, L"");
    ASSERT_EQ(CXMLHelpers::AddAttributeNode(L"x", L"1", root, attr), 1);
    EXPECT_EQ(CXMLHelpers::AddAttributeNodes(root, L"a", L"1", L"", L"skip", L"b", L"2", nullptr,
                                             nullptr, L"c", L"3"),
              1);
    std::wstring value;
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"x", root, value), 1);
    EXPECT_EQ(value, L"1");
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"b", root, value), 1);
    EXPECT_EQ(value, L"2");
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"c", root, value), 0);
    ComPtrElement element;
    root.As(&element);
    Microsoft::WRL::ComPtr<IXMLDOMNamedNodeMap> map;
    root->get_attributes(map.GetAddressOf());
    long count = 0;
    map->get_length(&count);
    EXPECT_EQ(count, 3);

    NodePtr child;
    ASSERT_EQ(CXMLHelpers::AddChildNode(L"Child", root, child, L"text", L"k", L"v"), 1);
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"k", child, value), 1);
    EXPECT_EQ(value, L"v");
    std::wstring text;
    EXPECT_EQ(CXMLHelpers::GetNodeText(L"child", root, text), 1);
    EXPECT_EQ(text, L"text");
    NodePtr none;
    EXPECT_EQ(CXMLHelpers::AddChildNode(L"", root, child), 0);
    EXPECT_FALSE(child);
    EXPECT_EQ(CXMLHelpers::AddChildNode(L"x", none, child), 0);

    NodePtr loose;
    DocPtr noDoc;
    ASSERT_EQ(CXMLHelpers::GetNewNode(noDoc, loose, L"Loose"), 1);
    std::wstring name;
    CXMLHelpers::GetNodeName(loose, name);
    EXPECT_EQ(name, L"Loose");
    NodePtr made;
    ASSERT_EQ(CXMLHelpers::GetNewNode(L"Made", root, made), 1);
    CXMLHelpers::GetNodeName(made, name);
    EXPECT_EQ(name, L"Made");
    NodePtr parentOfMade;
    EXPECT_EQ(made->get_parentNode(parentOfMade.GetAddressOf()), S_FALSE);  // not attached
    NodePtr fragment;
    ASSERT_EQ(CXMLHelpers::GetNewNodeFromXMLString(fragment, L"<f a=\"1\"><g/></f>"), 1);
    EXPECT_EQ(CXMLHelpers::GetAttributeValue(L"a", fragment, value), 1);
    EXPECT_EQ(value, L"1");
    NodePtr g;
    EXPECT_EQ(CXMLHelpers::GetNode(L"g", fragment, g), 1);  // a deep copy
    EXPECT_EQ(CXMLHelpers::GetNewNodeFromXMLString(fragment, L"<broken>"), 0);
    EXPECT_FALSE(fragment);
}

TEST_F(XmlTest, NodeWalksAndTheReferenceRulesOfTheResultArray) {
    DocPtr doc;
    ASSERT_EQ(CXMLHelpers::GetDocumentFromBuffer(L"<r><a><b/></a>text</r>", doc), 1);
    NodePtr root;
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", doc, root), 1);
    NodePtr a;
    ASSERT_EQ(CXMLHelpers::GetNode(L"a", root, a), 1);
    const ULONG rootRefs = References(root.Get());
    {
        CXMLHelpers::CNodeResultArray all(root.Get());
        ASSERT_EQ(CXMLHelpers::GetAllNodes(all, nullptr, nullptr), 1);
        ASSERT_EQ(all.GetSize(), 4);
        std::wstring name;
        std::vector<std::wstring> names;
        for (long long i = 0; i < all.GetSize(); ++i) {
            CXMLHelpers::GetNodeName(all[i], name);
            names.push_back(name);
        }
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
    CXMLHelpers::CNodeResultArray only(nullptr);
    EXPECT_EQ(CXMLHelpers::GetAllNodes(only, nullptr, nullptr), 0);
    ASSERT_EQ(CXMLHelpers::GetAllNodes(only, root.Get(), L"A"), 1);
    ASSERT_EQ(only.GetSize(), 1);
    std::wstring found;
    CXMLHelpers::GetNodeName(only[0], found);
    EXPECT_EQ(found, L"a");
    EXPECT_EQ(only.Root(), root.Get());
    EXPECT_EQ(CXMLHelpers::GetAllNodes(only, root.Get(), L"zzz"), 0);
    {
        // A later walk from another node appends that node without taking a reference.
        CXMLHelpers::CNodeResultArray more(root.Get());
        CXMLHelpers::GetAllNodes(more, nullptr, L"r");
        CXMLHelpers::GetAllNodes(more, a.Get(), nullptr);
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
    ASSERT_EQ(CXMLHelpers::GetNewDocument(doc, L"r"), 1);
    NodePtr root;
    ASSERT_EQ(CXMLHelpers::GetNode(L"r", doc, root), 1);
    NodePtr parent = root;
    for (int level = 0; level < kDepth; ++level) {
        NodePtr child;
        ASSERT_EQ(CXMLHelpers::AddChildNode(level + 1 == kDepth ? L"leaf" : L"d", parent, child), 1);
        parent = child;
    }
    NodePtr after;
    ASSERT_EQ(CXMLHelpers::AddChildNode(L"after", root, after), 1);

    CXMLHelpers::CNodeResultArray all(root.Get());
    ASSERT_EQ(CXMLHelpers::GetAllNodes(all, nullptr, nullptr), 1);
    ASSERT_EQ(all.GetSize(), kDepth + 2);
    EXPECT_EQ(all[0], root.Get());
    std::vector<std::wstring> names(4);
    for (int i = 0; i < 4; ++i) CXMLHelpers::GetNodeName(all[kDepth - 2 + i], names[i]);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"d", L"d", L"leaf", L"after"}));
    CXMLHelpers::CNodeResultArray leaves(root.Get());
    ASSERT_EQ(CXMLHelpers::GetAllNodes(leaves, nullptr, L"LEAF"), 1);
    EXPECT_EQ(leaves.GetSize(), 1);
}

}  // namespace
