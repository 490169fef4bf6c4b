// SPDX-License-Identifier: MIT
#include "resource_expression.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <variant>

#include "visa.h"

namespace visa {
namespace {

// Longer patterns or deeper nesting are refused rather than compiled.
constexpr std::size_t kMaxExpression = 4096;
constexpr int kMaxDepth = 32;

using State = ResourcePattern::State;
using Kind = State::Kind;

void AddChar(std::bitset<256>& set, unsigned char c) {
  set.set(c);
  set.set(static_cast<unsigned char>(std::tolower(c)));
  set.set(static_cast<unsigned char>(std::toupper(c)));
}

// Thompson's construction: each piece is a fragment with a start state and
// the exits still to be joined to what follows.
class Compiler {
 public:
  Compiler(std::string_view text, std::vector<State>& states) : text_(text), states_(states) {}

  bool Compile(int& start) {
    Fragment whole;
    if (!Alternation(whole, 0) || i_ != text_.size()) return false;
    State match;
    match.kind = Kind::Match;
    Patch(whole, Add(match));
    start = whole.start;
    return true;
  }

 private:
  struct Exit {
    int state;
    bool alt;
  };
  struct Fragment {
    int start = -1;
    std::vector<Exit> exits;
  };

  int Add(const State& s) {
    states_.push_back(s);
    return static_cast<int>(states_.size()) - 1;
  }
  void Patch(const Fragment& f, int to) {
    for (const Exit& e : f.exits) {
      State& state = states_[static_cast<std::size_t>(e.state)];
      (e.alt ? state.alt : state.out) = to;
    }
  }
  Fragment Single(const State& s) {
    int id = Add(s);
    return {id, {{id, false}}};
  }
  bool More() const { return i_ < text_.size(); }
  char Peek() const { return text_[i_]; }

  bool Alternation(Fragment& out, int depth) {
    if (depth > kMaxDepth || !Sequence(out, depth)) return false;
    while (More() && Peek() == '|') {
      ++i_;
      Fragment right;
      if (!Sequence(right, depth)) return false;
      State split;
      split.kind = Kind::Split;
      split.out = out.start;
      split.alt = right.start;
      out.start = Add(split);
      out.exits.insert(out.exits.end(), right.exits.begin(), right.exits.end());
    }
    return true;
  }

  bool Sequence(Fragment& out, int depth) {
    out = Single(State{});  // the empty sequence passes straight through
    while (More() && Peek() != '|' && Peek() != ')') {
      Fragment item;
      if (!Repeat(item, depth)) return false;
      Patch(out, item.start);
      out.exits = std::move(item.exits);
    }
    return true;
  }

  // "*": zero or more of what precedes; "+": one or more.
  bool Repeat(Fragment& out, int depth) {
    if (!Atom(out, depth)) return false;
    while (More() && (Peek() == '*' || Peek() == '+')) {
      const bool at_least_once = Peek() == '+';
      ++i_;
      State split;
      split.kind = Kind::Split;
      split.out = out.start;
      int loop = Add(split);
      Patch(out, loop);
      out = {at_least_once ? out.start : loop, {{loop, true}}};
    }
    return true;
  }

  bool Atom(Fragment& out, int depth) {
    const char c = Peek();
    if (c == '(') {
      ++i_;
      if (!Alternation(out, depth + 1) || !More() || Peek() != ')') return false;
      ++i_;
      return true;
    }
    if (c == '*' || c == '+' || c == ')') return false;  // nothing to repeat, or unbalanced
    State s;
    s.kind = Kind::Set;
    if (c == '?') {
      s.set.set();
      ++i_;
    } else if (c == '[') {
      if (!Bracket(s.set)) return false;
    } else if (c == '\\') {
      if (i_ + 1 >= text_.size()) return false;
      AddChar(s.set, static_cast<unsigned char>(text_[i_ + 1]));
      i_ += 2;
    } else {
      AddChar(s.set, static_cast<unsigned char>(c));
      ++i_;
    }
    out = Single(s);
    return true;
  }

  // "[abc]", "[0-9]", "[^:]": one character of (or not of) a list.
  bool Bracket(std::bitset<256>& set) {
    ++i_;
    const bool negate = More() && Peek() == '^';
    if (negate) ++i_;
    bool any = false;
    auto next_char = [&](unsigned char& c) {
      if (Peek() == '\\' && i_ + 1 < text_.size()) ++i_;
      c = static_cast<unsigned char>(text_[i_++]);
    };
    while (More() && Peek() != ']') {
      unsigned char low = 0, high = 0;
      next_char(low);
      high = low;
      if (i_ + 1 < text_.size() && Peek() == '-' && text_[i_ + 1] != ']') {
        ++i_;
        next_char(high);
        if (high < low) return false;
      }
      for (unsigned c = low; c <= high; ++c) AddChar(set, static_cast<unsigned char>(c));
      any = true;
    }
    if (!More() || !any) return false;
    ++i_;
    if (negate) set.flip();
    return true;
  }

  std::string_view text_;
  std::vector<State>& states_;
  std::size_t i_ = 0;
};

}  // namespace

ViStatus ResourcePattern::parse(std::string_view text) {
  states_.clear();
  start_ = -1;
  if (text.empty() || text.size() > kMaxExpression) return VI_ERROR_INV_EXPR;
  Compiler compiler(text, states_);
  if (!compiler.Compile(start_)) {
    states_.clear();
    start_ = -1;
    return VI_ERROR_INV_EXPR;
  }
  return VI_SUCCESS;
}

bool ResourcePattern::matches(std::string_view text) const {
  if (start_ < 0) return false;
  // The set of states the text so far can be in, each state once.
  std::vector<unsigned> mark(states_.size(), 0);
  unsigned generation = 0;
  std::vector<int> current, next, stack;
  auto add = [&](std::vector<int>& list, int state) {
    stack.push_back(state);
    while (!stack.empty()) {
      int s = stack.back();
      stack.pop_back();
      if (s < 0 || mark[static_cast<std::size_t>(s)] == generation) continue;
      mark[static_cast<std::size_t>(s)] = generation;
      const State& st = states_[static_cast<std::size_t>(s)];
      if (st.kind == Kind::Split) {
        stack.push_back(st.alt);
        stack.push_back(st.out);
      } else if (st.kind == Kind::Pass) {
        stack.push_back(st.out);
      } else {
        list.push_back(s);
      }
    }
  };
  ++generation;
  add(current, start_);
  for (char ch : text) {
    ++generation;
    next.clear();
    for (int s : current) {
      const State& st = states_[static_cast<std::size_t>(s)];
      if (st.kind == Kind::Set && st.set.test(static_cast<unsigned char>(ch))) add(next, st.out);
    }
    current.swap(next);
    if (current.empty()) return false;
  }
  for (int s : current)
    if (states_[static_cast<std::size_t>(s)].kind == Kind::Match) return true;
  return false;
}

// --- the attribute clause ---

namespace {

using AttributeValue = std::variant<std::monostate, long long, std::string>;

struct KnownAttribute {
  const char* name;
  bool is_text;
  AttributeValue (*of)(const ResourceName&);
};

// What is known of a resource without opening it; an attribute a resource
// does not have (a VXI-11 port) is empty and compares true with nothing.
const KnownAttribute kKnownAttributes[] = {
    {"VI_ATTR_INTF_TYPE", false, [](const ResourceName& r) -> AttributeValue { return static_cast<long long>(r.interface_type()); }},
    {"VI_ATTR_INTF_NUM", false, [](const ResourceName& r) -> AttributeValue { return static_cast<long long>(r.board); }},
    {"VI_ATTR_RSRC_CLASS", true, [](const ResourceName& r) -> AttributeValue { return r.resource_class; }},
    {"VI_ATTR_RSRC_NAME", true, [](const ResourceName& r) -> AttributeValue { return r.canonical; }},
    {"VI_ATTR_TCPIP_HOSTNAME", true,
     [](const ResourceName& r) -> AttributeValue {
       if (r.interface_type() != VI_INTF_TCPIP) return std::monostate{};
       return r.host;
     }},
    {"VI_ATTR_TCPIP_PORT", false,
     [](const ResourceName& r) -> AttributeValue {
       if (r.interface_type() != VI_INTF_TCPIP || r.port == 0) return std::monostate{};
       return static_cast<long long>(r.port);
     }},
    {"VI_ATTR_TCPIP_DEVICE_NAME", true,
     [](const ResourceName& r) -> AttributeValue {
       if (r.kind != ResourceKind::Vxi11 && r.kind != ResourceKind::Hislip) return std::monostate{};
       return r.device_name;
     }},
    {"VI_ATTR_MANF_ID", false,
     [](const ResourceName& r) -> AttributeValue {
       if (r.interface_type() != VI_INTF_USB) return std::monostate{};
       return static_cast<long long>(r.usb.vendor);
     }},
    {"VI_ATTR_MODEL_CODE", false,
     [](const ResourceName& r) -> AttributeValue {
       if (r.interface_type() != VI_INTF_USB) return std::monostate{};
       return static_cast<long long>(r.usb.product);
     }},
    {"VI_ATTR_USB_SERIAL_NUM", true,
     [](const ResourceName& r) -> AttributeValue {
       if (r.interface_type() != VI_INTF_USB) return std::monostate{};
       return r.usb.serial;
     }},
};

}  // namespace

class AttributeClause {
 public:
  ViStatus parse(std::string_view text) {
    text_ = text;
    i_ = 0;
    nodes_.clear();
    if (!Or(root_, 0)) return VI_ERROR_INV_EXPR;
    Blanks();
    return i_ == text_.size() ? VI_SUCCESS : VI_ERROR_INV_EXPR;
  }
  bool matches(const ResourceName& r) const { return Evaluate(root_, r); }

 private:
  enum class Op { And, Or, Not, Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };
  struct Node {
    explicit Node(Op o) : op(o) {}
    Op op;
    int left = -1, right = -1;
    const KnownAttribute* attribute = nullptr;
    long long number = 0;
    ResourcePattern text;
  };

  void Blanks() {
    while (i_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[i_]))) ++i_;
  }
  bool Take(std::string_view token) {
    Blanks();
    if (text_.substr(i_, token.size()) != token) return false;
    i_ += token.size();
    return true;
  }
  int Add(Node node) {
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size()) - 1;
  }
  bool Binary(int& out, int depth, Op op, std::string_view token, bool (AttributeClause::*operand)(int&, int)) {
    if (!(this->*operand)(out, depth)) return false;
    while (Take(token)) {
      int right = -1;
      if (!(this->*operand)(right, depth)) return false;
      Node n(op);
      n.left = out;
      n.right = right;
      out = Add(std::move(n));
    }
    return true;
  }
  bool Or(int& out, int depth) { return depth <= kMaxDepth && Binary(out, depth, Op::Or, "||", &AttributeClause::And); }
  bool And(int& out, int depth) { return Binary(out, depth, Op::And, "&&", &AttributeClause::Unary); }
  bool Unary(int& out, int depth) {
    if (depth > kMaxDepth) return false;
    if (Take("(")) return Or(out, depth + 1) && Take(")");
    Blanks();
    if (i_ < text_.size() && text_[i_] == '!' && text_.substr(i_, 2) != "!=") {
      ++i_;
      int operand = -1;
      if (!Unary(operand, depth + 1)) return false;
      Node n(Op::Not);
      n.left = operand;
      out = Add(std::move(n));
      return true;
    }
    return Comparison(out);
  }
  bool Comparison(int& out) {
    Blanks();
    std::size_t begin = i_;
    while (i_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[i_])) || text_[i_] == '_')) ++i_;
    std::string_view name = text_.substr(begin, i_ - begin);
    Node n(Op::Equal);
    for (const KnownAttribute& a : kKnownAttributes)
      if (name == a.name) n.attribute = &a;
    if (n.attribute == nullptr) return false;
    static constexpr std::pair<std::string_view, Op> kOps[] = {{"==", Op::Equal},     {"!=", Op::NotEqual},
                                                               {"<=", Op::LessEqual}, {">=", Op::GreaterEqual},
                                                               {"<", Op::Less},       {">", Op::Greater}};
    bool found = false;
    for (const auto& [token, op] : kOps) {
      if (!found && Take(token)) {
        n.op = op;
        found = true;
      }
    }
    if (!found) return false;
    Blanks();
    if (n.attribute->is_text) {
      // A text is compared as a pattern: "TCPIP0::?*" or plain text.
      if (n.op != Op::Equal && n.op != Op::NotEqual) return false;
      if (i_ >= text_.size() || text_[i_] != '"') return false;
      std::size_t close = text_.find('"', i_ + 1);
      if (close == std::string_view::npos || n.text.parse(text_.substr(i_ + 1, close - i_ - 1)) < 0) return false;
      i_ = close + 1;
    } else {
      int base = 10;
      if (text_.substr(i_, 2) == "0x" || text_.substr(i_, 2) == "0X") {
        base = 16;
        i_ += 2;
      }
      auto [end, ec] = std::from_chars(text_.data() + i_, text_.data() + text_.size(), n.number, base);
      if (ec != std::errc{}) return false;
      i_ = static_cast<std::size_t>(end - text_.data());
    }
    out = Add(std::move(n));
    return true;
  }

  bool Evaluate(int index, const ResourceName& r) const {
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.op) {
      case Op::And: return Evaluate(n.left, r) && Evaluate(n.right, r);
      case Op::Or: return Evaluate(n.left, r) || Evaluate(n.right, r);
      case Op::Not: return !Evaluate(n.left, r);
      default: break;
    }
    AttributeValue value = n.attribute->of(r);
    if (const std::string* text = std::get_if<std::string>(&value))
      return n.text.matches(*text) == (n.op == Op::Equal);
    const long long* number = std::get_if<long long>(&value);
    if (number == nullptr) return false;
    switch (n.op) {
      case Op::Equal: return *number == n.number;
      case Op::NotEqual: return *number != n.number;
      case Op::Less: return *number < n.number;
      case Op::Greater: return *number > n.number;
      case Op::LessEqual: return *number <= n.number;
      default: return *number >= n.number;
    }
  }

  std::string_view text_;
  std::size_t i_ = 0;
  std::vector<Node> nodes_;
  int root_ = -1;
};

ResourceExpression::ResourceExpression() = default;
ResourceExpression::~ResourceExpression() = default;
ResourceExpression::ResourceExpression(ResourceExpression&&) noexcept = default;
ResourceExpression& ResourceExpression::operator=(ResourceExpression&&) noexcept = default;

ViStatus ResourceExpression::parse(std::string_view text) {
  clause_.reset();
  pattern_ = ResourcePattern{};
  if (text.size() > kMaxExpression) return VI_ERROR_INV_EXPR;
  std::size_t brace = text.find('{');
  std::string_view pattern = text.substr(0, brace);
  while (!pattern.empty() && std::isspace(static_cast<unsigned char>(pattern.back()))) pattern.remove_suffix(1);
  ViStatus st = pattern_.parse(pattern);
  if (st < 0 || brace == std::string_view::npos) return st;
  std::string_view rest = text.substr(brace + 1);
  while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.remove_suffix(1);
  if (rest.empty() || rest.back() != '}') {
    pattern_ = ResourcePattern{};
    return VI_ERROR_INV_EXPR;
  }
  rest.remove_suffix(1);
  auto clause = std::make_unique<AttributeClause>();
  st = clause->parse(rest);
  if (st < 0) {
    pattern_ = ResourcePattern{};  // a refused expression matches nothing
    return st;
  }
  clause_ = std::move(clause);
  return VI_SUCCESS;
}

bool ResourceExpression::matches(const ResourceName& resource) const {
  return pattern_.matches(resource.canonical) && (clause_ == nullptr || clause_->matches(resource));
}

}  // namespace visa
