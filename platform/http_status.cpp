#include "platform/http_client.h"

namespace zd {

const char* HttpStatusName(HttpStatus status) {
  switch (status) {
    case HttpStatus::kOk:
      return "ok";
    case HttpStatus::kBadAddress:
      return "bad address";
    case HttpStatus::kConnectFailed:
      return "connect failed";
    case HttpStatus::kTimeout:
      return "timeout";
    case HttpStatus::kHttpError:
      return "http error";
    case HttpStatus::kTooLarge:
      return "too large";
    case HttpStatus::kSinkFailed:
      return "writer refused";
    case HttpStatus::kCancelled:
      return "cancelled";
    case HttpStatus::kFailed:
      break;
  }
  return "failed";
}

}  // namespace zd
