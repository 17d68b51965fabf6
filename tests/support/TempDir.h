#pragma once
// A temporary program directory, removed with everything in it when the test ends.
#include <string>

namespace qelt::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    /// The directory with a trailing "/".
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

  private:
    std::string m_path;
};

}  // namespace qelt::test
