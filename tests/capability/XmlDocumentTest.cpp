#include <gtest/gtest.h>

#include "library/capability/XmlDocument.h"
#include "library/util/ScopedCom.h"
#include "tests/capability/CapabilityTestSupport.h"

namespace {

class XmlDocumentTest : public ComTest {
protected:
    void Load(const wchar_t* text) {
        ASSERT_EQ(S_OK, LoadXmlDocument(text, document_.Receive()));
        ASSERT_TRUE(document_);
    }
    CScopedComPtr<IXMLDOMNode> Select(const wchar_t* xpath) {
        CScopedComPtr<IXMLDOMNode> node;
        EXPECT_EQ(S_OK, SelectXmlNode(document_.Get(), xpath, node.Receive())) << xpath;
        return node;
    }
    static std::wstring NameOf(IXMLDOMNode* node) {
        CScopedBstr name;
        EXPECT_EQ(S_OK, node->get_nodeName(name.Receive()));
        return name.Text();
    }

    CScopedComPtr<IXMLDOMDocument2> document_;
};

TEST_F(XmlDocumentTest, LoadsWellFormedTextAndRefusesBrokenText) {
    CScopedComPtr<IXMLDOMDocument2> document;
    EXPECT_EQ(S_OK, LoadXmlDocument(L"<a/>", document.Receive()));
    EXPECT_TRUE(document);

    IXMLDOMDocument2* broken = reinterpret_cast<IXMLDOMDocument2*>(1);
    EXPECT_EQ(S_FALSE, LoadXmlDocument(L"<a><b></a>", &broken));
    EXPECT_EQ(nullptr, broken);
    EXPECT_EQ(S_FALSE, LoadXmlDocument(L"", &broken));
    EXPECT_EQ(nullptr, broken);
}

TEST_F(XmlDocumentTest, LoadRejectsNullArguments) {
    EXPECT_EQ(E_POINTER, LoadXmlDocument(L"<a/>", nullptr));
    IXMLDOMDocument2* document = reinterpret_cast<IXMLDOMDocument2*>(1);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), LoadXmlDocument(nullptr, &document));
    EXPECT_EQ(nullptr, document);
}

TEST_F(XmlDocumentTest, CreatedDocumentHasTheFixedConfiguration) {
    CScopedComPtr<IXMLDOMDocument2> document;
    ASSERT_EQ(S_OK, CreateXmlDocument(document.Receive()));
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(S_OK, document->get_async(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    flag = VARIANT_TRUE;
    EXPECT_EQ(S_OK, document->get_validateOnParse(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    flag = VARIANT_TRUE;
    EXPECT_EQ(S_OK, document->get_resolveExternals(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);

    CScopedBstr name(L"SelectionLanguage");
    VARIANT language;
    VariantInit(&language);
    ASSERT_EQ(S_OK, document->getProperty(name.Get(), &language));
    ASSERT_EQ(VT_BSTR, language.vt);
    EXPECT_STREQ(L"XPath", language.bstrVal);
    VariantClear(&language);
}

TEST_F(XmlDocumentTest, AllowsAnInternalDtdAndResolvesNoExternalOne) {
    Load(L"<!DOCTYPE a [<!ENTITY e \"expanded\">]><a>&e;</a>");
    CScopedBstr text;
    EXPECT_EQ(S_OK, GetXmlNodeText(document_.Get(), L"/a", text.Receive()));
    EXPECT_STREQ(L"expanded", text.Text());

    // A missing external DTD would fail the load if it were fetched.
    Load(L"<!DOCTYPE a SYSTEM \"no-such-file.dtd\"><a>x</a>");
}

TEST_F(XmlDocumentTest, NodeTextOfMatchAndMiss) {
    Load(L"<a><b>first</b><b>second</b></a>");
    CScopedBstr text;
    EXPECT_EQ(S_OK, GetXmlNodeText(document_.Get(), L"/a/b", text.Receive()));
    EXPECT_STREQ(L"first", text.Text());

    // No match leaves the output as it was.
    BSTR untouched = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(S_FALSE, GetXmlNodeText(document_.Get(), L"/a/c", &untouched));
    EXPECT_EQ(reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234)), untouched);

    // An XPath MSXML cannot read is its failure, passed on.
    EXPECT_TRUE(FAILED(GetXmlNodeText(document_.Get(), L"/a/[", text.Receive())));
}

TEST_F(XmlDocumentTest, AttributeTextTellsAbsentFromEmpty) {
    Load(L"<a present=\"value\" empty=\"\"/>");
    CScopedComPtr<IXMLDOMNode> a = Select(L"/a");
    ASSERT_TRUE(a);

    CScopedBstr text;
    EXPECT_EQ(S_OK, GetXmlAttributeText(a.Get(), L"present", text.Receive()));
    EXPECT_STREQ(L"value", text.Text());
    EXPECT_EQ(S_OK, GetXmlAttributeText(a.Get(), L"empty", text.Receive()));
    EXPECT_STREQ(L"", text.Text());

    BSTR absent = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(S_FALSE, GetXmlAttributeText(a.Get(), L"absent", &absent));
    EXPECT_EQ(nullptr, absent);
}

TEST_F(XmlDocumentTest, AncestorWalk) {
    Load(L"<a><b><c/></b></a>");
    CScopedComPtr<IXMLDOMNode> c = Select(L"/a/b/c");
    ASSERT_TRUE(c);

    CScopedComPtr<IXMLDOMNode> ancestor;
    EXPECT_EQ(S_OK, GetXmlAncestor(c.Get(), 1, ancestor.Receive()));
    ASSERT_TRUE(ancestor);
    EXPECT_EQ(L"b", NameOf(ancestor.Get()));
    EXPECT_EQ(S_OK, GetXmlAncestor(c.Get(), 2, ancestor.Receive()));
    ASSERT_TRUE(ancestor);
    EXPECT_EQ(L"a", NameOf(ancestor.Get()));

    // Three levels up is the document node, which has no parent of its own.
    EXPECT_EQ(S_OK, GetXmlAncestor(c.Get(), 3, ancestor.Receive()));
    EXPECT_TRUE(ancestor);
    IXMLDOMNode* none = reinterpret_cast<IXMLDOMNode*>(1);
    EXPECT_EQ(S_FALSE, GetXmlAncestor(document_.Get(), 1, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_POINTER, GetXmlAncestor(c.Get(), 5, ancestor.Receive()));
    EXPECT_FALSE(ancestor);
    EXPECT_EQ(E_POINTER, GetXmlAncestor(c.Get(), 0, ancestor.Receive()));
}

TEST_F(XmlDocumentTest, NullArgumentsGiveEPointer) {
    Load(L"<a/>");
    IXMLDOMNode* node = nullptr;
    IXMLDOMNodeList* list = nullptr;
    BSTR text = nullptr;
    IXMLDOMNode* root = document_.Get();

    EXPECT_EQ(E_POINTER, CreateXmlDocument(nullptr));
    EXPECT_EQ(E_POINTER, SetXmlProperty(nullptr, L"SelectionLanguage", L"XPath"));
    EXPECT_EQ(E_POINTER, SelectXmlNode(nullptr, L"/a", &node));
    EXPECT_EQ(E_POINTER, SelectXmlNode(root, L"/a", nullptr));
    EXPECT_EQ(E_POINTER, SelectXmlNodes(nullptr, L"/a", &list));
    EXPECT_EQ(E_POINTER, SelectXmlNodes(root, L"/a", nullptr));
    EXPECT_EQ(E_POINTER, GetXmlNodeText(nullptr, L"/a", &text));
    EXPECT_EQ(E_POINTER, GetXmlNodeText(root, L"/a", nullptr));
    EXPECT_EQ(E_POINTER, GetXmlAttributeText(nullptr, L"x", &text));
    EXPECT_EQ(E_POINTER, GetXmlAttributeText(root, nullptr, &text));
    EXPECT_EQ(E_POINTER, GetXmlAttributeText(root, L"x", nullptr));
    EXPECT_EQ(E_POINTER, GetXmlAncestor(nullptr, 1, &node));
    EXPECT_EQ(E_POINTER, GetXmlAncestor(root, 1, nullptr));
}

TEST_F(XmlDocumentTest, SelectsWithNamespacePrefixesSetOnTheDocument) {
    Load(L"<r xmlns=\"urn:one\"><i>1</i><i>2</i></r>");
    ASSERT_EQ(S_OK, SetXmlProperty(document_.Get(), L"SelectionNamespaces", L"xmlns:o='urn:one'"));
    CScopedComPtr<IXMLDOMNodeList> items;
    ASSERT_EQ(S_OK, SelectXmlNodes(document_.Get(), L"/o:r/o:i", items.Receive()));
    long length = 0;
    EXPECT_EQ(S_OK, items->get_length(&length));
    EXPECT_EQ(2, length);

    // Without the prefix the namespaced elements are not seen.
    CScopedComPtr<IXMLDOMNode> node;
    EXPECT_EQ(S_FALSE, SelectXmlNode(document_.Get(), L"/r/i", node.Receive()));
    EXPECT_FALSE(node);
}

}  // namespace
