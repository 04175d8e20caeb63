// One component row of a page: what to fetch, where to put it, how to run it, and the three page strings
// that show the row's name, status and action.
#pragma once

#include <string>

// Every per-component rule is chosen by displayName (compared without regard to case), so the name is the
// row's identity; nothing else in the record says what kind of component it is.
//
// The label pointers belong to the page and are shared by every copy of the record, so the page's own row
// and the manager's copy show the same texts. A null label is allowed: the record then simply writes nowhere
// and reads an empty text from it.
class dvComponentInfo {
public:
    // Shows displayName in *nameLabel and clears *actionLabel; *statusLabel keeps whatever the page put there.
    dvComponentInfo(std::string displayName, std::string downloadUrl, std::string fileName,
                    std::string installArguments, std::string downloadFolder, bool isMsiPackage,
                    bool alwaysDownload, std::string* nameLabel, std::string* statusLabel,
                    std::string* actionLabel, std::string category);

    // Member-wise: a copy writes into the same page strings as its original.
    dvComponentInfo(const dvComponentInfo&) = default;
    dvComponentInfo& operator=(const dvComponentInfo&) = default;
    ~dvComponentInfo() = default;

    const std::string& displayName() const { return displayName_; }
    const std::string& downloadUrl() const { return downloadUrl_; }
    const std::string& fileName() const { return fileName_; }
    const std::string& installArguments() const { return installArguments_; }
    const std::string& downloadFolder() const { return downloadFolder_; }
    bool isMsiPackage() const { return isMsiPackage_; }
    bool alwaysDownload() const { return alwaysDownload_; }
    const std::string& category() const { return category_; }

    // The page strings themselves (may be null).
    std::string* nameLabel() const { return nameLabel_; }
    std::string* statusLabel() const { return statusLabel_; }
    std::string* actionLabel() const { return actionLabel_; }

    // Points all three labels elsewhere without writing to either the old or the new strings; the welcome
    // page parks its copies on one hidden string this way so that their work shows nowhere.
    void setLabels(std::string* nameLabel, std::string* statusLabel, std::string* actionLabel);

    // The label texts. Writing goes to the page, not the record, hence const. A null label reads "" and
    // ignores writes.
    std::string statusText() const;
    void setStatusText(const std::string& text) const;
    std::string actionText() const;
    void setActionText(const std::string& text) const;
    std::string nameText() const;

private:
    std::string displayName_;
    std::string downloadUrl_;
    std::string fileName_;
    std::string installArguments_;
    std::string downloadFolder_;
    bool isMsiPackage_;
    bool alwaysDownload_;
    std::string* nameLabel_;
    std::string* statusLabel_;
    std::string* actionLabel_;
    std::string category_;
};
