#pragma once
// Where the search index lives: the user's cache folder, nowhere else.

#include <string>

namespace velmora::search {

// $XDG_CACHE_HOME/velmora (else ~/.cache/velmora); nothing is created.
std::string SearchCacheFolder();

// The index file in folder.
std::string IndexFileIn(const std::string& folder);

// Creates folder and the folders above it that are missing, each with mode
// 0700 (the cache may tell what the user reads). False with a message when
// it cannot be made or something else than a folder is in its place.
bool MakeCacheFolder(const std::string& folder, std::string& error);

}  // namespace velmora::search
