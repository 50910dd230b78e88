// The privacy rules the user keeps on the settings page: a pattern (plain
// text or a regular expression) on a found document's title, address or
// program, and what to do with a match: never store it, or store it with its
// title replaced by its host (its program's name, its top folder). They live
// in their own file in the configuration folder, one rule a line, written
// atomically whenever they change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/program_files.h"
#include "store/text_file.h"

namespace zd {

enum class RuleField { kTitle, kAddress, kProgram };
enum class RuleAction { kDrop, kRedact };

struct PrivacyRule {
  RuleAction action = RuleAction::kDrop;
  RuleField field = RuleField::kAddress;
  bool regex = false;
  std::string pattern;
  // A line of the file this version does not understand (a later version's,
  // or one edited by hand): kept as it is, shown, and saved back unchanged.
  std::string unparsed;
  bool operator==(const PrivacyRule&) const = default;
};

// "drop*|*address*|*text*|*PATTERN": the pattern last, so that it may hold
// anything but a line break. A rule not understood: its line as it was.
std::string FormatRule(const PrivacyRule& rule);
// nullopt for a line of another form, an unknown word or an empty pattern.
std::optional<PrivacyRule> ParseRule(std::string_view line);

// The rules of the file in `dir`, lines not understood among them (see
// PrivacyRule::unparsed); an empty list when it is missing. `origin` says
// how it was found, for the next save.
std::vector<PrivacyRule> LoadPrivacyRules(Files& files, const AnsiCodec& codec,
                                          const std::string& dir, FileOrigin& origin);
// Writes the whole list atomically; false when the file could not be written
// (it then keeps its old rules), or was unreadable at start (never written over).
bool SavePrivacyRules(Files& files, const AnsiCodec& codec, const std::string& dir,
                      const std::vector<PrivacyRule>& rules, const FileOrigin& origin);

}  // namespace zd
