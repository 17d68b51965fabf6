#include "TempDir.h"

#include <cstdlib>
#include <filesystem>

namespace qelt::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qelt-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    m_path = std::string(made ? made : "/tmp") + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

}  // namespace qelt::test
