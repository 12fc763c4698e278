// The parser's default storage service: CHM files read with libmspack.
#include "engine/cCHMParser.h"
#include "platform/storage/ChmStorageService.h"

namespace velmora::engine {

cCHMParser::cCHMParser() : m_factory([] { return platform::MakeChmStorageService(); }) {}

}  // namespace velmora::engine
