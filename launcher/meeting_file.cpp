#include "launcher/meeting_file.h"

#include <algorithm>

#include "launcher/endpoints.h"

namespace talvo::meeting {

std::u16string FullPath(std::u16string_view dir, std::u16string_view name) {
  std::u16string path(dir);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path += name;
  return path;
}

std::u16string RoomPrefix(std::u16string_view caption) {
  return std::u16string(caption.substr(0, 3));
}

std::array<std::u16string, kLineCount> Lines(std::u16string_view user_id,
                                             std::u16string_view room_prefix) {
  const std::u16string id(user_id);
  const std::u16string prefix(room_prefix);
  return {
      std::u16string(u"# if you see this file, please download JoinNet from ") +
          endpoints::kClientDownloadUrl,
      u"[general]",
      u"domain = HomeMeeting",
      std::u16string(u"ip = ") + endpoints::kServerHost,
      u"portm = 443",
      u"portm2 = 2333",
      u"size_w=176",
      u"size_h=144",
      u"gui_rec_ver = 3.3",
      u"gui_min_ver = 3.0",
      std::u16string(u"backupip = ") + endpoints::kBackupIp,
      u"codetype = 4",
      u"UserID = " + id,
      u"UserName = " + prefix + u"Room",
  };
}

std::u16string NotFoundMessage() { return u"找不到(" + std::u16string(kFileName) + u") .inj 檔案"; }

std::u16string CannotOpenMessage() {
  return u"無法開啟(" + std::u16string(kFileName) + u") " + std::u16string(kFileType) + u" 檔案";
}

std::u16string NotInstalledMessage() {
  return u"這台電腦沒有安裝會議程式 JoinNet，無法開啟(" + std::u16string(kFileName) + u") " +
         std::u16string(kFileType) + u" 檔案\n請到 " + endpoints::kClientDownloadUrl + u" 下載安裝";
}

namespace {

char16_t UpperAscii(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

bool SameFileName(std::u16string_view found, std::u16string_view expected) {
  return std::equal(found.begin(), found.end(), expected.begin(), expected.end(),
                    [](char16_t a, char16_t b) { return UpperAscii(a) == UpperAscii(b); });
}

}  // namespace talvo::meeting
