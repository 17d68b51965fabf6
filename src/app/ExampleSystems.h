#pragma once
/// The example trading systems for users whose formula.txt is older than them: a new
/// formula.txt gets them at once (AppContext::LoadFormulas); an existing one only when the
/// user asks (交易评测's 添加示例系统), and then only those whose name no formula of the
/// user's has, so nothing of the user's is ever replaced or renamed.
#include <string>
#include <vector>

#include "formula/FormulaLibrary.h"

namespace qelt {

/// The example systems whose name no formula of `library` has (without case).
std::vector<StoredFormula> MissingExampleSystems(const FormulaLibrary& library);

struct ExampleSystemsAdded {
    std::vector<std::string> names;  ///< the systems added, in their order
    std::string message;             ///< what the library said of a change it could not save, or ""
};

/// Adds the missing example systems (new ids, after the user's formulas).
ExampleSystemsAdded AddExampleSystems(FormulaLibrary& library);

}  // namespace qelt
