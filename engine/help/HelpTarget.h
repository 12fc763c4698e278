#pragma once
// Where a contents or index entry's Local value points. Values come as
// "a.htm", "/a.htm", "dir\a.htm", "a.htm#anchor", "a%20b.htm",
// "mk:@MSITStore:X.chm::/a.htm", "ms-its:other.chm::/a.htm", web addresses
// and worse ("../../etc/passwd", "javascript:..."). A target is always a
// stored page of this file or of another CHM file in the same folder, a web
// address, or nothing: paths never leave the CHM file, other CHM files are
// looked for beside it only, and no other scheme is ever a target.

#include <string>
#include <string_view>

namespace velmora::platform {
class ChmArchive;
}

namespace velmora::help {

struct Target {
  enum class Kind {
    None,     // a heading: nothing to show
    Page,     // a page of this file (file empty) or of another CHM file
    Web,      // an http, https, ftp or mailto address, for the desktop browser
    Refused,  // javascript: and every other scheme: never followed
  };
  Kind kind = Kind::None;
  std::string file;    // Page: the other CHM file's name (no folder); empty for this file
  std::string path;    // Page: "/dir/page.htm", as stored; as asked for when missing
  std::string anchor;  // Page: "#name", or empty
  std::string url;     // Web: as written
  bool missing = false;  // Page: the file does not hold it (or is not there)

  // For listings: "/dir/page.htm#name", "other.chm::/page.htm", the web
  // address, or empty.
  std::string Text() const;
};

// The target of a Local value (UTF-8, entities decoded) written in a file
// of the folder (a stored folder: "/" or "/html/"). ownFileName: this CHM
// file's name, so that "mk:@MSITStore:<own name>::/a.htm" stays here.
// A name not stored as written is looked up %-decoded (as UTF-8, else in
// codePage); letter case is ignored as the storage layer ignores it.
// Another CHM file's pages are left to ResolveInOtherFile: their path is
// normalised, and missing stays false.
Target ResolveTarget(const platform::ChmArchive& archive, std::string_view folder, std::string_view local,
                     std::string_view ownFileName, std::string_view codePage);

// A Page target of another CHM file checked against that file's archive
// (null: the file is not there); fills in the stored spelling or missing.
void ResolveInOtherFile(const platform::ChmArchive* other, std::string_view codePage, Target& target);

// The stored folder of a stored file's path: "/html/" for "/html/a.hhc".
std::string_view StoredFolder(std::string_view path);

}  // namespace velmora::help
