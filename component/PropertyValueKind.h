// The kind of stored value each kind of property takes in a description,
// shared by the reader (which checks it) and the writer.
#pragma once

#include "component/Component.h"
#include "component/DescriptionTree.h"

DescriptionValueKind ExpectedKind(PropertyKind kind);
