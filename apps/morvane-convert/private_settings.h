#pragma once

#include <string>
#include <vector>

// A private copy of the user's settings store for the length of one batch run. Creation copies
// every owner's file into a new temporary folder of its own and points this process's store
// there (XDG_CONFIG_HOME); destruction points it back and removes the copy. Concurrent runs
// each get their own folder, so none sees another's options.
class PrivateSettings {
 public:
  PrivateSettings();
  ~PrivateSettings();

  PrivateSettings(const PrivateSettings&) = delete;
  PrivateSettings& operator=(const PrivateSettings&) = delete;

  bool ok() const { return !folder_.empty(); }
  // The private folder (holds the store and scratch files of the run).
  const std::string& folder() const { return folder_; }
  // The owners whose files the store holds now.
  std::vector<std::string> Owners() const;

 private:
  std::string folder_;
  bool had_config_home_ = false;
  std::string config_home_;
};
