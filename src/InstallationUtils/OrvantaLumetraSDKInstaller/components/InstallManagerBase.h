// The rows of one page, as private copies in page order. The operations that act on the machine
// (install, uninstall, download) are added by the classes that build on this list.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "components/ComponentInfo.h"

class dvInstallManagerBase {
public:
    dvInstallManagerBase() = default;
    virtual ~dvInstallManagerBase();

    // Rows share page strings with the page's own records; copying a whole list would only add a third
    // writer to them, so a list is never copied.
    dvInstallManagerBase(const dvInstallManagerBase&) = delete;
    dvInstallManagerBase& operator=(const dvInstallManagerBase&) = delete;

    // Replaces the list with copies of records[0..count-1], in that order. The caller keeps its own records.
    // An earlier list is released first, so forgetting clearComponents cannot leak it.
    void setComponents(unsigned count, const dvComponentInfo* records);
    void setComponents(const std::vector<dvComponentInfo>& records);

    // Releases every row and leaves an empty list.
    void clearComponents();

    unsigned componentCount() const { return static_cast<unsigned>(components_.size()); }

    // Row index in 0..componentCount()-1; std::out_of_range otherwise.
    dvComponentInfo& component(unsigned index);
    const dvComponentInfo& component(unsigned index) const;

private:
    std::vector<std::unique_ptr<dvComponentInfo>> components_;
};
