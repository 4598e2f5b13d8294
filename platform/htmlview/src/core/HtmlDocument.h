// The element tree of an HTML text, built the forgiving way browsers build it: unknown tags and
// attributes are kept but mean nothing to the layout, unclosed elements are closed where their
// container ends, stray end tags are dropped, table cells are implied where content stands directly
// in a table, and nesting stops deepening at a fixed depth. Any text gives a tree; none makes it fail.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace htmlview {

struct Attribute {
    std::wstring name;  // lower case
    std::wstring value; // character references decoded
};

struct Node {
    enum class Kind { Element, Text };

    Kind kind = Kind::Element;
    std::wstring name; // lower-case tag name of an element; empty for the root and for text
    std::wstring text; // a text node's characters, references decoded, white space as written
    std::vector<Attribute> attributes;
    std::vector<std::unique_ptr<Node>> children;
    Node* parent = nullptr;

    bool IsElement(std::wstring_view tag) const { return kind == Kind::Element && name == tag; }
    // The value of an attribute, or null when the element has none of that name.
    const std::wstring* FindAttribute(std::wstring_view attributeName) const;
};

// Elements nest at most this deep; deeper start tags add no level and their content goes to the
// element at the limit (keeps every walk of the tree shallow whatever the input).
constexpr std::size_t kMaxTreeDepth = 96;

class Document {
public:
    // Parses a whole HTML text (UTF-16).
    static Document Parse(std::wstring_view html);

    const Node& Root() const { return *m_root; }
    // The text of the first title element, white space collapsed; empty when there is none.
    std::wstring Title() const;

private:
    std::unique_ptr<Node> m_root = std::make_unique<Node>();
};

} // namespace htmlview
