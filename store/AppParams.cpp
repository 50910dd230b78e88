#include "store/AppParams.h"

namespace zd {

std::string ProductName;
std::string AppKey;
float ProductVersion = 0.0f;

void InitAppParams() {
  ProductName = "Zapdock";
  AppKey = "VAROV";
  ProductVersion = 3.5f;
}

}  // namespace zd
