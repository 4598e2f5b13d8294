// The tree builder: tokens onto a stack of open elements, with the few implied opens and closes that
// real pages (and the suite's own article HTML) depend on.
#include "HtmlDocument.h"

#include "HtmlTokenizer.h"

#include <algorithm>
#include <initializer_list>

namespace htmlview {
namespace {

bool IsOneOf(std::wstring_view name, std::initializer_list<std::wstring_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVoid(std::wstring_view name) {
    return IsOneOf(name, {L"area", L"base", L"basefont", L"br", L"col", L"embed", L"frame", L"hr", L"img", L"input",
                          L"keygen", L"link", L"meta", L"param", L"source", L"track", L"wbr"});
}

// Start tags that end an open paragraph.
bool ClosesParagraph(std::wstring_view name) {
    return IsOneOf(name, {L"address", L"article", L"aside", L"blockquote", L"center", L"div", L"dl", L"fieldset",
                          L"figure",  L"footer",  L"form",  L"h1",         L"h2",     L"h3",  L"h4", L"h5",
                          L"h6",      L"header",  L"hr",    L"main",       L"menu",   L"nav", L"ol", L"p",
                          L"pre",     L"section", L"table", L"ul",         L"dir"});
}

bool IsTableStructure(std::wstring_view name) {
    return IsOneOf(name, {L"table", L"tbody", L"thead", L"tfoot", L"tr"});
}
bool IsTableSection(std::wstring_view name) {
    return IsOneOf(name, {L"tbody", L"thead", L"tfoot"});
}
bool IsCell(std::wstring_view name) {
    return name == L"td" || name == L"th";
}

bool IsAllSpace(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; });
}

class TreeBuilder {
public:
    explicit TreeBuilder(Node& root) { m_stack.push_back(&root); }

    void StartTag(Token& token);
    void EndTag(const Token& token);
    void Text(std::wstring&& text);

private:
    Node& Current() const { return *m_stack.back(); }
    Node* Append(std::unique_ptr<Node> node);
    void Push(const std::wstring& name, std::vector<Attribute> attributes = {});
    // The depth in the stack of the innermost open element of that name, searching no further than
    // the first of the boundary names; 0 when there is none.
    std::size_t FindOpen(std::wstring_view name, std::initializer_list<std::wstring_view> boundaries) const;
    void PopTo(std::size_t depth) { m_stack.resize(depth); }
    void CloseParagraph() {
        if (std::size_t at = FindOpen(L"p", {L"table", L"td", L"th", L"caption", L"button"}))
            PopTo(at);
    }
    // Content that stands directly in a table, a section or a row goes into an implied cell.
    void EnsureCellForContent();
    bool InTableScope() const { return FindOpen(L"table", {}) != 0; }

    std::vector<Node*> m_stack;
};

Node* TreeBuilder::Append(std::unique_ptr<Node> node) {
    node->parent = &Current();
    Current().children.push_back(std::move(node));
    return Current().children.back().get();
}

void TreeBuilder::Push(const std::wstring& name, std::vector<Attribute> attributes) {
    auto node = std::make_unique<Node>();
    node->name = name;
    node->attributes = std::move(attributes);
    bool room = m_stack.size() < kMaxTreeDepth;
    Node* added = Append(std::move(node));
    if (room)
        m_stack.push_back(added);
}

std::size_t TreeBuilder::FindOpen(std::wstring_view name, std::initializer_list<std::wstring_view> boundaries) const {
    for (std::size_t i = m_stack.size(); i > 1; --i) {
        const std::wstring& open = m_stack[i - 1]->name;
        if (open == name)
            return i - 1;
        if (IsOneOf(open, boundaries))
            return 0;
    }
    return 0;
}

void TreeBuilder::EnsureCellForContent() {
    if (!IsTableStructure(Current().name))
        return;
    if (Current().name != L"tr")
        Push(L"tr");
    Push(L"td");
}

void TreeBuilder::StartTag(Token& token) {
    const std::wstring& name = token.name;
    if (name == L"html" || name == L"body" || name == L"frameset") {
        if (std::size_t head = FindOpen(L"head", {}))
            PopTo(head);
        return;
    }
    if (name == L"tr") {
        std::size_t table = FindOpen(L"table", {});
        if (table == 0)
            return; // a row outside any table means nothing
        std::size_t section = 0;
        for (std::size_t i = m_stack.size(); i > table + 1; --i) {
            if (IsTableSection(m_stack[i - 1]->name)) {
                section = i - 1;
                break;
            }
        }
        PopTo((section != 0 ? section : table) + 1);
        Push(name, std::move(token.attributes));
        return;
    }
    if (IsCell(name)) {
        std::size_t table = FindOpen(L"table", {});
        if (table == 0)
            return;
        std::size_t row = 0;
        for (std::size_t i = m_stack.size(); i > table + 1; --i) {
            if (m_stack[i - 1]->name == L"tr") {
                row = i - 1;
                break;
            }
        }
        if (row != 0) {
            PopTo(row + 1);
        } else {
            std::size_t keep = table + 1;
            if (m_stack.size() > keep && IsTableSection(m_stack[keep]->name))
                ++keep;
            PopTo(keep);
            Push(L"tr");
        }
        Push(name, std::move(token.attributes));
        return;
    }
    if (IsTableSection(name) || name == L"caption") {
        std::size_t table = FindOpen(L"table", {});
        if (table == 0)
            return;
        PopTo(table + 1);
        Push(name, std::move(token.attributes));
        return;
    }
    if (name == L"col" || name == L"colgroup")
        return;

    EnsureCellForContent();
    if (ClosesParagraph(name))
        CloseParagraph();
    if (name == L"li") {
        if (std::size_t at = FindOpen(L"li", {L"ul", L"ol", L"menu", L"dir", L"table", L"td", L"th"}))
            PopTo(at);
    } else if (name == L"dt" || name == L"dd") {
        std::size_t at = FindOpen(L"dd", {L"dl", L"table", L"td", L"th"});
        if (at == 0)
            at = FindOpen(L"dt", {L"dl", L"table", L"td", L"th"});
        if (at != 0)
            PopTo(at);
    } else if (name == L"option") {
        if (std::size_t at = FindOpen(L"option", {L"select", L"table", L"td", L"th"}))
            PopTo(at);
    } else if (name == L"a") {
        if (std::size_t at = FindOpen(L"a", {L"table", L"td", L"th"}))
            PopTo(at); // links do not nest
    }

    if (IsVoid(name)) {
        auto node = std::make_unique<Node>();
        node->name = name;
        node->attributes = std::move(token.attributes);
        Append(std::move(node));
        return;
    }
    Push(name, std::move(token.attributes));
}

void TreeBuilder::EndTag(const Token& token) {
    const std::wstring& name = token.name;
    if (name == L"html" || name == L"body")
        return;
    if (name == L"br") { // "</br>" is taken as a line break, as browsers do
        Token lineBreak;
        lineBreak.name = L"br";
        StartTag(lineBreak);
        return;
    }
    std::size_t at = 0;
    if (name == L"table") {
        at = FindOpen(L"table", {});
    } else if (name == L"tr" || IsTableSection(name) || IsCell(name) || name == L"caption") {
        at = FindOpen(name, {L"table"});
    } else {
        // Other elements do not close across a cell or a table.
        at = FindOpen(name, {L"table", L"td", L"th", L"caption"});
    }
    if (at != 0)
        PopTo(at);
}

void TreeBuilder::Text(std::wstring&& text) {
    if (text.empty())
        return;
    if (IsTableStructure(Current().name)) {
        if (IsAllSpace(text))
            return;
        EnsureCellForContent();
    }
    Node& parent = Current();
    if (!parent.children.empty() && parent.children.back()->kind == Node::Kind::Text) {
        parent.children.back()->text += text;
        return;
    }
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Text;
    node->text = std::move(text);
    Append(std::move(node));
}

void CollectText(const Node& node, std::wstring& out) {
    if (node.kind == Node::Kind::Text)
        out += node.text;
    for (const auto& child : node.children)
        CollectText(*child, out);
}

const Node* FindElement(const Node& node, std::wstring_view name) {
    if (node.IsElement(name))
        return &node;
    for (const auto& child : node.children) {
        if (const Node* found = FindElement(*child, name))
            return found;
    }
    return nullptr;
}

} // namespace

const std::wstring* Node::FindAttribute(std::wstring_view attributeName) const {
    for (const Attribute& attribute : attributes) {
        if (attribute.name == attributeName)
            return &attribute.value;
    }
    return nullptr;
}

Document Document::Parse(std::wstring_view html) {
    Document document;
    TreeBuilder builder(*document.m_root);
    HtmlTokenizer tokenizer(html);
    Token token;
    while (tokenizer.Next(token)) {
        switch (token.kind) {
        case Token::Kind::StartTag:
            builder.StartTag(token);
            break;
        case Token::Kind::EndTag:
            builder.EndTag(token);
            break;
        case Token::Kind::Text:
            builder.Text(std::move(token.text));
            break;
        }
    }
    return document;
}

std::wstring Document::Title() const {
    const Node* title = FindElement(*m_root, L"title");
    if (title == nullptr)
        return {};
    std::wstring raw;
    CollectText(*title, raw);
    std::wstring collapsed;
    for (wchar_t c : raw) {
        bool space = c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
        if (!space)
            collapsed += c;
        else if (!collapsed.empty() && collapsed.back() != L' ')
            collapsed += L' ';
    }
    if (!collapsed.empty() && collapsed.back() == L' ')
        collapsed.pop_back();
    return collapsed;
}

} // namespace htmlview
