#include "store/program_files.h"

#include "zd_version.h"

namespace zd {

std::string ProductName;
std::string AppKey;
float ProductVersion = 0.0f;

std::string ProgramKey() { return std::string(kMakerKey) + "\\" + AppKey; }

void InitProgramValues() {
  ProductName = kSetupProductName;
  AppKey = "VAROV";
  ProductVersion = ZD_VERSION_NUMBER;
}

}  // namespace zd
