#include "components/ComponentInfo.h"

#include <utility>

dvComponentInfo::dvComponentInfo(std::string displayName, std::string downloadUrl, std::string fileName,
                                 std::string installArguments, std::string downloadFolder, bool isMsiPackage,
                                 bool alwaysDownload, std::string* nameLabel, std::string* statusLabel,
                                 std::string* actionLabel, std::string category)
    : displayName_(std::move(displayName)),
      downloadUrl_(std::move(downloadUrl)),
      fileName_(std::move(fileName)),
      installArguments_(std::move(installArguments)),
      downloadFolder_(std::move(downloadFolder)),
      isMsiPackage_(isMsiPackage),
      alwaysDownload_(alwaysDownload),
      nameLabel_(nameLabel),
      statusLabel_(statusLabel),
      actionLabel_(actionLabel),
      category_(std::move(category)) {
    if (nameLabel_) *nameLabel_ = displayName_;
    if (actionLabel_) actionLabel_->clear();
}

void dvComponentInfo::setLabels(std::string* nameLabel, std::string* statusLabel, std::string* actionLabel) {
    nameLabel_ = nameLabel;
    statusLabel_ = statusLabel;
    actionLabel_ = actionLabel;
}

std::string dvComponentInfo::statusText() const { return statusLabel_ ? *statusLabel_ : std::string(); }

void dvComponentInfo::setStatusText(const std::string& text) const {
    if (statusLabel_) *statusLabel_ = text;
}

std::string dvComponentInfo::actionText() const { return actionLabel_ ? *actionLabel_ : std::string(); }

void dvComponentInfo::setActionText(const std::string& text) const {
    if (actionLabel_) *actionLabel_ = text;
}

std::string dvComponentInfo::nameText() const { return nameLabel_ ? *nameLabel_ : std::string(); }
