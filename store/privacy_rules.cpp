#include "store/privacy_rules.h"

#include <array>
#include <utility>

#include "store/doc.h"

namespace zd {
namespace {

constexpr std::string_view kSeparator = "*|*";

constexpr std::array<std::pair<RuleAction, std::string_view>, 2> kActions = {{
    {RuleAction::kDrop, "drop"},
    {RuleAction::kRedact, "redact"},
}};
constexpr std::array<std::pair<RuleField, std::string_view>, 3> kFields = {{
    {RuleField::kTitle, "title"},
    {RuleField::kAddress, "address"},
    {RuleField::kProgram, "program"},
}};
constexpr std::string_view kText = "text";
constexpr std::string_view kRegex = "regex";

template <typename Table, typename Value>
std::string_view WordOf(const Table& table, Value value) {
  for (const auto& [v, word] : table) {
    if (v == value) return word;
  }
  return {};
}

template <typename Table, typename Value>
bool ValueOf(const Table& table, std::string_view word, Value& value) {
  for (const auto& [v, w] : table) {
    if (w == word) {
      value = v;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string FormatRule(const PrivacyRule& rule) {
  if (!rule.unparsed.empty()) return rule.unparsed;
  std::string line(WordOf(kActions, rule.action));
  line += kSeparator;
  line += WordOf(kFields, rule.field);
  line += kSeparator;
  line += rule.regex ? kRegex : kText;
  line += kSeparator;
  for (char c : rule.pattern) line += c == '\r' || c == '\n' ? ' ' : c;
  return line;
}

std::optional<PrivacyRule> ParseRule(std::string_view line) {
  std::string_view parts[3];
  for (std::string_view& part : parts) {
    const size_t at = line.find(kSeparator);
    if (at == std::string_view::npos) return std::nullopt;
    part = line.substr(0, at);
    line.remove_prefix(at + kSeparator.size());
  }
  PrivacyRule rule;
  if (!ValueOf(kActions, parts[0], rule.action) || !ValueOf(kFields, parts[1], rule.field)) {
    return std::nullopt;
  }
  if (parts[2] != kText && parts[2] != kRegex) return std::nullopt;
  rule.regex = parts[2] == kRegex;
  rule.pattern = std::string(line);
  if (Trim(rule.pattern).empty()) return std::nullopt;
  return rule;
}

std::vector<PrivacyRule> LoadPrivacyRules(Files& files, const AnsiCodec& codec,
                                          const std::string& dir, FileOrigin& origin) {
  std::vector<PrivacyRule> rules;
  const std::optional<std::string> text =
      LoadOwnedText(files, codec, dir + kPrivacyRulesFileName, origin);
  if (!text) return rules;
  for (const std::string& line : SplitLines(*text)) {
    if (Trim(line).empty()) continue;
    std::optional<PrivacyRule> rule = ParseRule(line);
    if (!rule) {
      rule.emplace();
      rule->unparsed = line;
    }
    rules.push_back(std::move(*rule));
  }
  return rules;
}

bool SavePrivacyRules(Files& files, const AnsiCodec& codec, const std::string& dir,
                      const std::vector<PrivacyRule>& rules, const FileOrigin& origin) {
  if (origin.unreadable) return false;
  std::vector<std::string> lines;
  lines.reserve(rules.size());
  for (const PrivacyRule& rule : rules) lines.push_back(FormatRule(rule));
  return SaveText(files, codec, dir + kPrivacyRulesFileName, JoinLines(lines), origin.utf8);
}

}  // namespace zd
