#include "uninstall/removal.h"

#include <stdexcept>

#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "store/doc.h"
#include "store/program_files.h"

namespace zd {
namespace {

class Steps {
 public:
  Steps(RemovalReport& report, bool user_only) : report_(report), user_only_(user_only) {}
  // Whether a step runs; a step that does not run is not reported.
  bool Runs(UninstallStep step) const { return !user_only_ || IsUserStep(step); }
  void Add(UninstallStep step, std::string target, Removal result) {
    report_.steps.push_back({step, std::move(target), result});
  }

 private:
  RemovalReport& report_;
  bool user_only_;
};

std::string UninstallKey(const UninstallContext& c) { return kUninstallKeyParent + c.product_name; }

// The shortcut "<user folder>\MRX软件\<product>.lnk", then its group folder
// when nothing else is left in it. Only the .lnk is deleted: a folder of the
// same name may be the user's own.
void RemoveShortcut(Steps& steps, UninstallStep link_step, UninstallStep group_step,
                    UserFolder kind, const std::string& name, FileRemoval& files,
                    ShellFolders& folders) {
  const std::optional<std::string> folder = folders.Folder(kind);
  if (!folder || folder->empty()) {
    steps.Add(link_step, "", Removal::kAbsent);
    return;
  }
  const std::string group = *folder + "\\" + kMakerFolder;
  const std::string link = group + "\\" + name + ".lnk";
  steps.Add(link_step, link, files.RemoveFile(link));
  steps.Add(group_step, group, files.RemoveEmptyFolder(group));
}

}  // namespace

std::string OwnLogonValueName(int language_index) {
  lang::InterfaceTexts texts;
  lang::LoadLanguageTables(language_index, {}, texts);
  return texts.ProductText;
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool RemovalReport::AllRemoved() const { return completed && Failures().empty(); }

std::vector<StepOutcome> RemovalReport::Failures() const {
  std::vector<StepOutcome> out;
  for (const StepOutcome& s : steps) {
    if (s.result == Removal::kFailed) out.push_back(s);
  }
  return out;
}

bool IsUserStep(UninstallStep step) {
  switch (step) {
    case UninstallStep::kUninstallKey:
    case UninstallStep::kLogonValueMachine:
    case UninstallStep::kLogonStateMachine:
    case UninstallStep::kSettingsFile:
      return false;
    default:
      return true;
  }
}

RemovalReport RunRemoval(const UninstallContext& context, RegistryKeys& registry,
                         FileRemoval& files, ShellFolders& folders, RemovalScope scope) {
  RemovalReport report;
  Steps steps(report, scope == RemovalScope::kUserOnly);
  try {
    const std::string dir = FolderOf(context.exe_path);
    if (dir.empty()) throw std::runtime_error("the executable has no folder");
    RemoveShortcut(steps, UninstallStep::kDesktopShortcut, UninstallStep::kDesktopGroup,
                   UserFolder::kDesktop, context.product_name, files, folders);
    RemoveShortcut(steps, UninstallStep::kProgramsShortcut, UninstallStep::kProgramsGroup,
                   UserFolder::kPrograms, context.product_name, files, folders);
    const std::string program_key = std::string(kMakerKey) + "\\" + context.app_key;
    steps.Add(UninstallStep::kProgramKey, "HKCU\\" + program_key,
              context.app_key.empty() ? Removal::kAbsent
                                      : registry.DeleteKeyTree(RegRoot::kCurrentUser, program_key));
    const bool has_product = !Trim(context.product_name).empty();
    if (steps.Runs(UninstallStep::kUninstallKey)) {
      steps.Add(UninstallStep::kUninstallKey, "HKLM\\" + UninstallKey(context),
                has_product ? registry.DeleteKeyTree(RegRoot::kLocalMachine, UninstallKey(context))
                            : Removal::kAbsent);
    }
    const std::string& logon = context.logon_value_name;
    const auto value = [&](UninstallStep step, RegRoot root, const char* key) {
      if (!steps.Runs(step)) return;
      const std::string where =
          (root == RegRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") + std::string(key) + "\\" + logon;
      steps.Add(step, where,
                logon.empty() ? Removal::kAbsent : registry.DeleteValue(root, key, logon));
    };
    value(UninstallStep::kLogonValueMachine, RegRoot::kLocalMachine, kRunKey);
    value(UninstallStep::kLogonValueUser, RegRoot::kCurrentUser, kRunKey);
    value(UninstallStep::kLogonStateMachine, RegRoot::kLocalMachine, kStartupApprovedRunKey);
    value(UninstallStep::kLogonStateUser, RegRoot::kCurrentUser, kStartupApprovedRunKey);
    const std::string ini = dir + kSettingsFileName;
    if (steps.Runs(UninstallStep::kSettingsFile)) {
      steps.Add(UninstallStep::kSettingsFile, ini, files.RemoveFile(ini));
    }
    report.completed = true;
  } catch (...) {
    RecordCurrentException("RunRemoval");
  }
  return report;
}

AccessProblems CheckAccess(const UninstallContext& context, RegistryKeys& registry,
                           FileRemoval& files) {
  AccessProblems problems;
  const std::string key = UninstallKey(context);
  if (registry.KeyExists(RegRoot::kLocalMachine, key) &&
      !registry.CanWrite(RegRoot::kLocalMachine, key)) {
    problems.machine_registry = true;
  }
  if (!context.logon_value_name.empty() &&
      registry.ValueExists(RegRoot::kLocalMachine, kRunKey, context.logon_value_name) &&
      !registry.CanWrite(RegRoot::kLocalMachine, kRunKey)) {
    problems.machine_registry = true;
  }
  if (!files.CanWriteIn(FolderOf(context.exe_path))) problems.program_folder = true;
  return problems;
}

bool HonoursElevatedStart(const std::vector<std::string>& args, bool elevated) {
  return elevated && args.size() > 1 && args[1] == kElevatedOption;
}

ElevationChoice ChooseElevation(const AccessProblems& problems, bool elevated,
                                bool relaunched_already) {
  if (problems.any() && !elevated && !relaunched_already) return ElevationChoice::kRelaunchElevated;
  return ElevationChoice::kProceed;
}

}  // namespace zd
