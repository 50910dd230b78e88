// The native build's shared reads: POSIX has no share modes, so a plain read.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/path_probe.h"
#include "platform/shared_files.h"

namespace zd {
namespace {

class PosixSharedFiles : public SharedFiles {
 public:
  std::optional<FileStamp> Stamp(const std::string& path) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    FileStamp stamp;
    stamp.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.size = static_cast<uint64_t>(st.st_size);
    return stamp;
  }

  std::optional<std::string> ReadShared(const std::string& path, uint64_t max_bytes) override {
    const std::optional<FileStamp> stamp = Stamp(path);
    if (!stamp || stamp->size > max_bytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return std::nullopt;
    if (out.view().size() > max_bytes) return std::nullopt;
    return std::move(out).str();
  }

  bool OnNetwork(const std::string& path) override { return IsUncPath(path); }
};

}  // namespace

std::unique_ptr<SharedFiles> MakeSystemSharedFiles() {
  return std::make_unique<PosixSharedFiles>();
}

// No browser here keeps its files where the program looks for them.
UserFolders SystemUserFolders() { return {}; }

}  // namespace zd
