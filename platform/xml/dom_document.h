// The part of an XML DOM the program reads with: a document loaded from a file or from bytes, its document
// element, and every node's name, child nodes and text. Names and texts are code page 1251. Read-only.
//
// Documents come from the network: no DTD is read and no entity but the five predefined ones is expanded, and a
// document above the size cap is refused before it is parsed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xml {

inline constexpr std::size_t kDefaultMaxDocumentBytes = 1024 * 1024;

class DomDocument;

// A node of a loaded document; valid while its document lives. An empty node (no document, or asked for what
// is not there) answers empty texts and no children.
class DomNode {
public:
  DomNode() = default;
  bool IsNull() const { return m_node == nullptr; }
  // The element's name; "#text", "#cdata-section", "#comment" or "#document" for the other kinds.
  std::string NodeName() const;
  // The text of the node and all its descendants, in document order.
  std::string Text() const;
  std::vector<DomNode> ChildNodes() const;

private:
  friend class DomDocument;
  explicit DomNode(const void* node) : m_node(node) {}
  const void* m_node = nullptr;
};

class DomDocument {
public:
  DomDocument();
  ~DomDocument();
  DomDocument(const DomDocument&) = delete;
  DomDocument& operator=(const DomDocument&) = delete;

  // False (and an empty document) when the file cannot be read, is larger than the cap or is no well-formed XML.
  bool Load(const std::string& programPath, std::size_t maxBytes = kDefaultMaxDocumentBytes);
  bool LoadXml(std::string_view bytes, std::size_t maxBytes = kDefaultMaxDocumentBytes);
  DomNode DocumentElement() const;
  // Why the last load failed, for the developer (UTF-8).
  const std::string& ParseError() const { return m_error; }

private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
  std::string m_error;
};

}  // namespace xml
