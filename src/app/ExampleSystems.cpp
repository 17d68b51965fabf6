#include "app/ExampleSystems.h"

#include "formula/FormulaText.h"

namespace qelt {

std::vector<StoredFormula> MissingExampleSystems(const FormulaLibrary& library) {
    std::vector<StoredFormula> missing;
    for (StoredFormula& example : ExampleSystems()) {
        bool taken = false;
        for (const StoredFormula& own : library.Formulas())
            taken = taken || formula::SameName(own.name, example.name);
        if (!taken) missing.push_back(std::move(example));
    }
    return missing;
}

ExampleSystemsAdded AddExampleSystems(FormulaLibrary& library) {
    ExampleSystemsAdded added;
    for (StoredFormula& example : MissingExampleSystems(library)) {
        const std::string name = example.name;
        const FormulaChange change = library.Add(std::move(example));
        if (change.applied) added.names.push_back(name);
        if (!change.message.empty() && added.message.empty()) added.message = change.message;
    }
    return added;
}

}  // namespace qelt
