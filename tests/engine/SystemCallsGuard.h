#pragma once
// Makes every staged file use the system's own calls but the ones a test
// replaces, for as long as the guard lives.

#include "engine/StagedFile.h"

namespace velmora::test {

class SystemCallsGuard {
 public:
  // edit changes the calls to replace in a copy of the system's own.
  template <class Edit>
  explicit SystemCallsGuard(Edit edit) : m_calls(engine::StagedFile::OwnSystemCalls()) {
    edit(m_calls);
    engine::StagedFile::SetSystemCalls(&m_calls);
  }
  ~SystemCallsGuard() { engine::StagedFile::SetSystemCalls(nullptr); }
  SystemCallsGuard(const SystemCallsGuard&) = delete;
  SystemCallsGuard& operator=(const SystemCallsGuard&) = delete;

 private:
  engine::StagedFile::SystemCalls m_calls;
};

}  // namespace velmora::test
