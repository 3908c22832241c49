#pragma once
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "platform/failure.h"

// The folders that the copy window's destination list and tree stand for, and what a failed listing tells the
// user. Stored destination paths are taken by value: the settings keep each path exactly as it was read.
namespace korvane::destination_tree {

// The folder of a destination chosen in the list: its stored path ending in one backslash ("F:" gives "F:\").
std::wstring ListedFolder(std::wstring storedPath);

// The folder of a tree node: the destination's stored path without one trailing backslash, "\", the node's path
// from the root level ("Events\Trip"), and a final backslash. "F:\" and "Events" give "F:\Events\".
std::wstring NodeFolder(std::wstring storedPath, const std::wstring& nodePath);

// The box for a list choice whose listing of `folder` failed: only a folder that is not there is worth a word.
std::optional<MessageBoxSpec> ListChoiceFailureMessage(const std::wstring& folder, const Failure& failure);

// The box for a node click whose listing of `folder` failed: the folder went away, or it cannot be read.
MessageBoxSpec NodeClickFailureMessage(const std::wstring& folder, const Failure& failure);

}  // namespace korvane::destination_tree
