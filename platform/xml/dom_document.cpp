#include "platform/xml/dom_document.h"

#include "platform/base/codepage.h"
#include "platform/base/paths.h"

#include <pugixml.hpp>

#include <fstream>

namespace xml {

struct DomDocument::Impl {
  pugi::xml_document document;
};

namespace {

const pugi::xml_node_struct* Raw(const void* node) { return static_cast<const pugi::xml_node_struct*>(node); }

pugi::xml_node NodeOf(const void* node) { return pugi::xml_node(const_cast<pugi::xml_node_struct*>(Raw(node))); }

void AppendText(const pugi::xml_node& node, std::string& out)
{
  if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
    out += node.value();
    return;
  }
  for (const pugi::xml_node& child : node.children())
    AppendText(child, out);
}

}  // namespace

std::string DomNode::NodeName() const
{
  if (!m_node)
    return {};
  const pugi::xml_node node = NodeOf(m_node);
  switch (node.type()) {
  case pugi::node_element:
    return codepage::Utf8ToCp1251(node.name());
  case pugi::node_pcdata:
    return "#text";
  case pugi::node_cdata:
    return "#cdata-section";
  case pugi::node_comment:
    return "#comment";
  case pugi::node_document:
    return "#document";
  default:
    return codepage::Utf8ToCp1251(node.name());
  }
}

std::string DomNode::Text() const
{
  if (!m_node)
    return {};
  std::string utf8;
  AppendText(NodeOf(m_node), utf8);
  return codepage::Utf8ToCp1251(utf8);
}

std::vector<DomNode> DomNode::ChildNodes() const
{
  std::vector<DomNode> children;
  if (!m_node)
    return children;
  for (const pugi::xml_node& child : NodeOf(m_node).children())
    children.push_back(DomNode(child.internal_object()));
  return children;
}

DomDocument::DomDocument() : m_impl(std::make_unique<Impl>()) {}
DomDocument::~DomDocument() = default;

bool DomDocument::Load(const std::string& programPath, std::size_t maxBytes)
{
  m_impl->document.reset();
  std::ifstream in(platform::ToFileSystemPath(programPath), std::ios::binary | std::ios::ate);
  if (!in) {
    m_error = "the file cannot be opened";
    return false;
  }
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<unsigned long long>(size) > maxBytes) {
    m_error = "the file is larger than an XML document may be";
    return false;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  if (!in) {
    m_error = "the file cannot be read";
    return false;
  }
  return LoadXml(bytes, maxBytes);
}

bool DomDocument::LoadXml(std::string_view bytes, std::size_t maxBytes)
{
  m_impl->document.reset();
  if (bytes.size() > maxBytes) {
    m_error = "the document is larger than it may be";
    return false;
  }
  // No doctype: a DTD is neither read nor kept. Comments and processing instructions are dropped too.
  const unsigned options = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol | pugi::parse_wconv_attribute;
  const pugi::xml_parse_result result =
      m_impl->document.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_auto);
  if (!result) {
    m_error = std::string(result.description()) + " at byte " + std::to_string(result.offset);
    m_impl->document.reset();
    return false;
  }
  if (!m_impl->document.document_element()) {
    m_error = "the document has no element";
    return false;
  }
  m_error.clear();
  return true;
}

DomNode DomDocument::DocumentElement() const
{
  const pugi::xml_node element = m_impl->document.document_element();
  return element ? DomNode(element.internal_object()) : DomNode();
}

}  // namespace xml
