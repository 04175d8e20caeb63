#include "components/InstallManagerBase.h"

#include <stdexcept>

dvInstallManagerBase::~dvInstallManagerBase() = default;

void dvInstallManagerBase::setComponents(unsigned count, const dvComponentInfo* records) {
    if (count > 0 && records == nullptr) throw std::invalid_argument("dvInstallManagerBase::setComponents - no records");
    // The records may be rows of this very list: copy them all before the old rows are released.
    std::vector<std::unique_ptr<dvComponentInfo>> copies;
    copies.reserve(count);
    for (unsigned i = 0; i < count; ++i) copies.push_back(std::make_unique<dvComponentInfo>(records[i]));
    components_.swap(copies);
}

void dvInstallManagerBase::setComponents(const std::vector<dvComponentInfo>& records) {
    setComponents(static_cast<unsigned>(records.size()), records.data());
}

void dvInstallManagerBase::clearComponents() { components_.clear(); }

dvComponentInfo& dvInstallManagerBase::component(unsigned index) {
    if (index >= components_.size()) throw std::out_of_range("dvInstallManagerBase::component - no such row");
    return *components_[index];
}

const dvComponentInfo& dvInstallManagerBase::component(unsigned index) const {
    if (index >= components_.size()) throw std::out_of_range("dvInstallManagerBase::component - no such row");
    return *components_[index];
}
