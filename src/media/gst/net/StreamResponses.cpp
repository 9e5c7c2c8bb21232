#include "media/gst/net/StreamResponses.h"

namespace media::net {
namespace {

constexpr const char* kServer = "Server: Quadrovia/1.0\r\n";

std::string framedFields(std::uint32_t clientId) {
  return std::string(kServer) + "Pragma: no-cache, client-id=" + std::to_string(clientId) +
         ", features=\"broadcast\"\r\nCache-Control: no-cache\r\n";
}

}  // namespace

std::string StreamResponses::plainStream() {
  return "HTTP/1.0 200 OK\r\n"
         "Content-Type: video/x-ms-asf\r\n"
         "Cache-Control: no-cache\r\n"
         "Connection: close\r\n\r\n";
}

std::string StreamResponses::framedDescribe(std::uint32_t clientId, std::size_t contentLength) {
  return "HTTP/1.0 200 OK\r\n" + framedFields(clientId) +
         "Content-Type: application/vnd.ms.wms-hdr.asfv1\r\n"
         "Content-Length: " + std::to_string(contentLength) + "\r\n"
         "Connection: close\r\n\r\n";
}

std::string StreamResponses::framedPlay(std::uint32_t clientId) {
  return "HTTP/1.0 200 OK\r\n" + framedFields(clientId) +
         "Content-Type: application/x-mms-framed\r\n"
         "Connection: close\r\n\r\n";
}

std::string StreamResponses::status(int code) {
  std::string head = "HTTP/1.0 " + std::to_string(code) + " " + reason(code) + "\r\n" + kServer;
  if (code == 405) head += "Allow: GET, HEAD, POST\r\n";
  if (code != 204) head += "Content-Length: 0\r\n";  // a 204 carries no length
  return head + "Connection: close\r\n\r\n";
}

const char* StreamResponses::reason(int code) {
  switch (code) {
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
  }
}

}  // namespace media::net
