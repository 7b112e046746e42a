#include "component/DescriptionText.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/AsciiText.h"
#include "base/Exception.h"
#include "component/DescriptionTree.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '.'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

enum class TokenType { Word, Integer, String, Binary, Symbol, End };

struct Token {
  TokenType Type = TokenType::End;
  std::string Text;  // Word, String (the decoded characters), Symbol
  std::int32_t Integer = 0;
  std::vector<std::uint8_t> Bytes;
  int Line = 1;
};

[[noreturn]] void FailLine(int line, const std::string& what) {
  throw Exception("Invalid window description text, line " + std::to_string(line) + ": " + what);
}

// Splits the text into tokens. A string token joins adjacent quoted parts and
// #nn character codes; a binary token holds the bytes of a {hex} block.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> Tokens() {
    std::vector<Token> tokens;
    for (SkipSpace(); pos_ < text_.size(); SkipSpace()) tokens.push_back(Next());
    Token end;
    end.Line = line_;
    tokens.push_back(end);
    return tokens;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  Token Next() {
    Token token;
    token.Line = line_;
    const char c = text_[pos_];
    if (IsLetter(c)) {
      token.Type = TokenType::Word;
      while (pos_ < text_.size() && IsWordChar(text_[pos_])) token.Text += text_[pos_++];
      if (token.Text.size() > 255) FailLine(line_, "name longer than 255 characters");
    } else if (IsDigit(c) || (c == '-' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
      token.Type = TokenType::Integer;
      token.Integer = Number();
    } else if (c == '\'' || c == '#') {
      token.Type = TokenType::String;
      token.Text = QuotedString();
    } else if (c == '{') {
      token.Type = TokenType::Binary;
      token.Bytes = HexBlock();
    } else if (std::string_view("=:[](),+@").find(c) != std::string_view::npos) {
      token.Type = TokenType::Symbol;
      token.Text = std::string(1, c);
      ++pos_;
    } else {
      FailLine(line_, std::string("unexpected character '") + c + "'");
    }
    return token;
  }

  std::int32_t Number() {
    const bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    std::int64_t magnitude = 0;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) {
      magnitude = magnitude * 10 + (text_[pos_++] - '0');
      if (magnitude > INT64_C(2147483648)) FailLine(line_, "integer out of range");
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) FailLine(line_, "integer out of range");
    if (pos_ < text_.size() && IsWordChar(text_[pos_])) FailLine(line_, "malformed number");
    return static_cast<std::int32_t>(value);
  }

  std::string QuotedString() {
    std::string result;
    while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
      if (text_[pos_] == '#') {
        ++pos_;
        int code = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_]) && digits < 4) {
          code = code * 10 + (text_[pos_++] - '0');
          ++digits;
        }
        if (digits == 0 || code > 255) FailLine(line_, "character code must be #0 to #255");
        result += static_cast<char>(code);
        continue;
      }
      for (++pos_;; ++pos_) {
        if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
          FailLine(line_, "string not closed on its line");
        if (text_[pos_] != '\'') {
          result += text_[pos_];
        } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
          result += '\'';
          ++pos_;
        } else {
          ++pos_;
          break;
        }
      }
    }
    return result;
  }

  std::vector<std::uint8_t> HexBlock() {
    const int startLine = line_;
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (++pos_;; ++pos_) {
      if (pos_ >= text_.size()) FailLine(startLine, "binary value not closed by '}'");
      const char c = text_[pos_];
      if (c == '}') break;
      if (c == '\n') ++line_;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      const int digit = HexDigit(c);
      if (digit < 0) FailLine(line_, std::string("not a hexadecimal digit: '") + c + "'");
      if (high < 0) {
        high = digit;
      } else {
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
        high = -1;
      }
    }
    ++pos_;
    if (high >= 0) FailLine(line_, "odd number of hexadecimal digits");
    return bytes;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// Splits a text file into its lines: CR LF, LF and CR each end a line, and a
// line end at the very end adds no empty line.
std::vector<std::string> SplitLines(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = static_cast<char>(bytes[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

class Parser {
 public:
  Parser(std::vector<Token> tokens, const DescriptionFileReader& readFile)
      : tokens_(std::move(tokens)), readFile_(readFile) {}

  DescriptionObject Description() {
    DescriptionObject root = Object(1);
    if (Peek().Type != TokenType::End) FailLine(Peek().Line, "text after the root object's 'end'");
    return root;
  }

 private:
  const Token& Peek(std::size_t ahead = 0) const {
    const std::size_t index = std::min(next_ + ahead, tokens_.size() - 1);
    return tokens_[index];
  }
  const Token& Take() {
    const Token& token = tokens_[next_];
    if (next_ + 1 < tokens_.size()) ++next_;
    return token;
  }
  bool IsSymbol(const Token& token, char symbol) const {
    return token.Type == TokenType::Symbol && token.Text[0] == symbol;
  }
  void Expect(char symbol, const char* what) {
    if (!IsSymbol(Peek(), symbol)) FailLine(Peek().Line, std::string("expected ") + what);
    Take();
  }
  std::string Word(const char* what) {
    if (Peek().Type != TokenType::Word) FailLine(Peek().Line, std::string("expected ") + what);
    return Take().Text;
  }
  bool AtWord(const char* word, std::size_t ahead = 0) const {
    return Peek(ahead).Type == TokenType::Word && SameTextAscii(Peek(ahead).Text, word) &&
           !IsSymbol(Peek(ahead + 1), '=');
  }

  DescriptionObject Object(int depth) {
    if (!AtWord("object")) FailLine(Peek().Line, "expected 'object'");
    const int line = Take().Line;
    if (depth > kMaxDescriptionDepth) FailLine(line, "objects nested too deep");
    DescriptionObject object;
    object.ClassName = Word("a class name");
    if (IsSymbol(Peek(), ':')) {
      Take();
      object.Name = std::move(object.ClassName);
      object.ClassName = Word("a class name after ':'");
    }
    while (Peek().Type == TokenType::Word && IsSymbol(Peek(1), '=')) {
      DescriptionProperty property;
      property.Name = Take().Text;
      Take();
      property.Value = Value();
      object.Properties.push_back(std::move(property));
    }
    while (AtWord("object")) object.Children.push_back(Object(depth + 1));
    if (!AtWord("end")) FailLine(Peek().Line, "expected a property, 'object' or 'end'");
    Take();
    return object;
  }

  std::string String() {
    std::string text = Take().Text;
    while (IsSymbol(Peek(), '+')) {
      Take();
      if (Peek().Type != TokenType::String) FailLine(Peek().Line, "expected a string after '+'");
      text += Take().Text;
    }
    return text;
  }

  DescriptionValue Value() {
    DescriptionValue value;
    const Token& token = Peek();
    switch (token.Type) {
      case TokenType::Integer:
        value.Kind = DescriptionValueKind::Integer;
        value.Integer = Take().Integer;
        return value;
      case TokenType::String:
        value.Kind = DescriptionValueKind::String;
        value.Text = String();
        return value;
      case TokenType::Binary:
        value.Kind = DescriptionValueKind::Binary;
        value.Bytes = Take().Bytes;
        return value;
      case TokenType::Word:
        if (SameTextAscii(token.Text, "True") || SameTextAscii(token.Text, "False")) {
          value.Kind = DescriptionValueKind::Boolean;
          value.Boolean = SameTextAscii(Take().Text, "True");
        } else {
          value.Kind = DescriptionValueKind::Ident;
          value.Text = Take().Text;
        }
        return value;
      case TokenType::Symbol:
        if (IsSymbol(token, '[')) return Set();
        if (IsSymbol(token, '(')) return List();
        if (IsSymbol(token, '@')) return FileValue();
        break;
      case TokenType::End:
        break;
    }
    FailLine(token.Line, "expected a value");
  }

  DescriptionValue Set() {
    Take();
    DescriptionValue value;
    value.Kind = DescriptionValueKind::Set;
    if (IsSymbol(Peek(), ']')) {
      Take();
      return value;
    }
    for (;;) {
      value.Items.push_back(Word("a set member"));
      if (IsSymbol(Peek(), ']')) break;
      Expect(',', "',' or ']' in a set");
    }
    Take();
    return value;
  }

  DescriptionValue List() {
    Take();
    DescriptionValue value;
    value.Kind = DescriptionValueKind::List;
    while (Peek().Type == TokenType::String) value.Items.push_back(String());
    Expect(')', "a string or ')' in a list");
    return value;
  }

  DescriptionValue FileValue() {
    const int line = Take().Line;
    const std::string form = Word("'file' or 'lines' after '@'");
    if (Peek().Type != TokenType::String) FailLine(line, "expected a quoted file name after @" + form);
    const std::string path = Take().Text;
    DescriptionValue value;
    if (form == "file") {
      value.Kind = DescriptionValueKind::Binary;
      value.Bytes = ReadNamedFile(path, line);
    } else if (form == "lines") {
      value.Kind = DescriptionValueKind::List;
      value.Items = SplitLines(ReadNamedFile(path, line));
    } else {
      FailLine(line, "expected @file or @lines, not @" + form);
    }
    return value;
  }

  std::vector<std::uint8_t> ReadNamedFile(const std::string& path, int line) {
    try {
      return readFile_(path);
    } catch (const Exception& error) {
      FailLine(line, error.Message());
    }
  }

  std::vector<Token> tokens_;
  std::size_t next_ = 0;
  const DescriptionFileReader& readFile_;
};

// Prints a tree as text; anything the text form cannot say back exactly (a
// name that is not a word, an identifier spelt True) is refused, so printing
// and compiling again always gives the same bytes.
class Printer {
 public:
  std::string Take() { return std::move(out_); }

  void Object(const DescriptionObject& object, int depth) {
    Indent(depth);
    out_ += "object ";
    if (!object.Name.empty()) out_ += CheckedWord(object.Name, "object name") + ": ";
    out_ += CheckedWord(object.ClassName, "class name") + "\n";
    for (const DescriptionProperty& property : object.Properties) {
      Indent(depth + 1);
      out_ += CheckedWord(property.Name, "property name") + " = ";
      Value(property.Value, depth + 1);
      out_ += "\n";
    }
    for (const DescriptionObject& child : object.Children) Object(child, depth + 1);
    Indent(depth);
    out_ += "end\n";
  }

 private:
  void Indent(int depth) { out_.append(static_cast<std::size_t>(depth - 1) * 2, ' '); }

  static std::string CheckedWord(const std::string& text, const char* what) {
    bool word = !text.empty() && IsLetter(text[0]);
    for (char c : text) word = word && IsWordChar(c);
    if (!word) throw Exception(std::string("Window description cannot be shown as text: ") + what + " '" + text + "'");
    return text;
  }

  static std::string Quoted(const std::string& text) {
    std::string result;
    bool inQuotes = false;
    for (char c : text) {
      const auto code = static_cast<unsigned char>(c);
      if (code >= 32 && code < 127) {
        if (!inQuotes) result += '\'';
        inQuotes = true;
        result += c == '\'' ? std::string("''") : std::string(1, c);
      } else {
        if (inQuotes) result += '\'';
        inQuotes = false;
        result += '#' + std::to_string(code);
      }
    }
    if (inQuotes || result.empty()) result += '\'';
    return result.size() == 1 ? "''" : result;
  }

  void Value(const DescriptionValue& value, int depth) {
    switch (value.Kind) {
      case DescriptionValueKind::Integer:
        out_ += std::to_string(value.Integer);
        break;
      case DescriptionValueKind::String:
        out_ += Quoted(value.Text);
        break;
      case DescriptionValueKind::Ident:
        if (SameTextAscii(value.Text, "True") || SameTextAscii(value.Text, "False"))
          throw Exception("Window description cannot be shown as text: identifier '" + value.Text + "'");
        out_ += CheckedWord(value.Text, "identifier");
        break;
      case DescriptionValueKind::Boolean:
        out_ += value.Boolean ? "True" : "False";
        break;
      case DescriptionValueKind::Set:
        out_ += '[';
        for (std::size_t i = 0; i < value.Items.size(); ++i)
          out_ += (i == 0 ? "" : ", ") + CheckedWord(value.Items[i], "set member");
        out_ += ']';
        break;
      case DescriptionValueKind::List:
        out_ += '(';
        for (const std::string& item : value.Items) {
          out_ += '\n';
          Indent(depth + 1);
          out_ += Quoted(item);
        }
        out_ += ')';
        break;
      case DescriptionValueKind::Binary:
        Binary(value.Binary(), depth);
        break;
    }
  }

  void Binary(std::span<const std::uint8_t> bytes, int depth) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    constexpr std::size_t kBytesPerLine = 32;
    out_ += '{';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i % kBytesPerLine == 0) {
        out_ += '\n';
        Indent(depth + 1);
      }
      out_ += kHex[bytes[i] >> 4];
      out_ += kHex[bytes[i] & 15];
    }
    out_ += '}';
  }

  std::string out_;
};

}  // namespace

std::vector<std::uint8_t> DescriptionFromText(std::string_view text, const DescriptionFileReader& readFile) {
  return EncodeDescription(Parser(Lexer(text).Tokens(), readFile).Description());
}

std::string DescriptionToText(std::span<const std::uint8_t> bytes) {
  Printer printer;
  printer.Object(DecodeDescription(bytes), 1);
  return printer.Take();
}
