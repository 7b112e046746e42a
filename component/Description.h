// Stored window descriptions applied to live components, and written from
// them. The binary format is documented in docs/formats/window-description.md;
// DescriptionTree.h holds its layout map.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "component/Component.h"

// Reads the description in bytes into root: the whole description is first
// decoded and checked, so damaged bytes change no component. Then root's own
// properties are set (its class must be the one the description names; its
// name is taken from the description), and each child object is created
// through the class registry with root as owner, named, handed its enclosing
// object through SetParentComponent, and given its properties in stored order
// (events bound through root.FindHandler by handler name); nested children
// follow recursively. Every component read gets BeginLoading before its first
// property and, once the whole tree is read, Loaded(), in reading order, root
// first.
//
// Throws Exception with a clear message for a damaged description ("Invalid
// window description: ... at offset N"), and for an unknown class, property,
// symbol or handler, a duplicate component name, or a value of the wrong kind
// ("Error reading window description: Object.Property: ..."). Exceptions that
// a property's setter raises itself (a file source that cannot create its
// temporary file) pass through unchanged. Components created before a failure
// stay owned by root, which destroys them.
void ReadComponentDescription(std::span<const std::uint8_t> bytes, TComponent& root);

// Writes root and every component it owns, each nested under the component
// that ParentComponent() names (owned components without one sit directly
// under root), in the order root owns them. Properties go out in declaration
// order, published before extra ones, skipping those whose IsStored says no,
// empty strings and empty string lists; events are written with the handler
// name a description bound to them (TComponent::BoundHandlerName).
std::vector<std::uint8_t> WriteComponentDescription(TComponent& root);
