// Fixture of the layering check: an allowed file with one catch more than
// its allowance (cmake/catch_sites.txt allows store/config.cpp one).
#include "platform/errors.h"

namespace zd {

void SaveOne(void (*save)()) {
  try {
    save();
  }
  ZD_CATCH_LOG("SaveOne")
}

void SaveOther(void (*save)()) {
  try {
    save();
  }
  ZD_CATCH_LOG("SaveOther")
}

}  // namespace zd
