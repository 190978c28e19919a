// Classes of persistent objects that are not components, registered by name so that a
// stream can name them and a reader make them (the class library's class registry).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/component.h"

// Makes an object of the class for the object it belongs to (what `owner` must be is the
// class's business); null when it cannot be made.
using TPersistentFactory = std::function<TPersistent*(TPersistent* owner)>;

// Registers a class with its ancestors (nearest first); a null factory registers a class
// that is known by name but not made by it. Registering a name again replaces it.
void RegisterPersistentClass(const std::string& name, const std::vector<std::string>& ancestors,
                             TPersistentFactory make);
void UnregisterPersistentClass(const std::string& name);
// Names ignore case.
bool IsPersistentClassRegistered(const std::string& name);
// The class is registered and is the ancestor or descends from it.
bool PersistentClassInheritsFrom(const std::string& name, const std::string& ancestor);
// A new object of a registered class; null when the class is unknown or not made by name.
TPersistent* CreatePersistent(const std::string& name, TPersistent* owner);
// The designer's grouping of classes: descendants of `name` are grouped with `group`.
void GroupDescendentsWith(const std::string& name, const std::string& group);
// The group of a class or of its nearest grouped ancestor ("" when none).
std::string ClassGroupOf(const std::string& name);
