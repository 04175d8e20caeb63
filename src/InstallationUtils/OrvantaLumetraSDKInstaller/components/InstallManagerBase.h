// The rows of one page, as private copies in page order, and the operations that act on the machine through
// them: install, uninstall and download ranges and lists of rows.
//
// Operations return 1 for success and -1 for failure or abort; callers treat anything below 1 as failure.
// Row indices are 0-based and ranges inclusive; the index and total handed to a dialog are the row's 1-based
// position in the running operation.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "components/ComponentInfo.h"
#include "components/OperationContext.h"

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

    // What the operations work with; they throw std::logic_error until it is set.
    void setContext(const components::OperationContext& context) { context_.emplace(context); }
    // The context set, or nullptr before one is.
    const components::OperationContext* contextIfSet() const { return context_ ? &*context_ : nullptr; }

    // Installs rows first..last in order, after the repair check over every row (checkAll) or over the range.
    int installComponents(int first, int last, bool checkAll);
    // Installs the listed rows in list order, after the repair check over every row.
    int installComponentList(const int* indices, int count);
    // Removes rows first..last, last row first.
    int uninstallComponents(int first, int last);
    // Downloads every row / the listed rows. ignoreAll is the caller's byte: once the user chose Ignore All it
    // is 1 and later failures pass silently for as long as the caller hands in the same byte.
    int downloadAllComponents(bool showReport, unsigned char* ignoreAll);
    int downloadComponentList(const int* indices, int count, bool showReport, unsigned char* ignoreAll);
    // Deletes the rows' downloaded files (only those of rows that always download, when asked).
    int deleteOldDownloads(bool onlyAlwaysDownload, bool showReport);

    // The per-row steps the operations are made of.
    int installComponent(dvComponentInfo& row, int index, int total);
    int uninstallComponent(dvComponentInfo& row, int index, int total);
    int downloadComponent(dvComponentInfo& row, int index, int total);
    int deleteOldDownload(int index, dvComponentInfo& row, int total);

private:
    const components::OperationContext& context() const;
    // Repeats the repair question until no row of first..last has a problem status; false when the user
    // declined.
    bool repairCheck(int first, int last);

    std::vector<std::unique_ptr<dvComponentInfo>> components_;
    std::optional<components::OperationContext> context_;
};
