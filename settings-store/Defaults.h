#pragma once

// Everything of the typed settings store: keys, the serializable trait, the
// bridges and the type-erased value.

#include "settings-store/AnySerializable.h"
#include "settings-store/Bridges.h"
#include "settings-store/CollectionBridges.h"
#include "settings-store/DefaultBridges.h"
#include "settings-store/JSONCoding.h"
#include "settings-store/Key.h"
#include "settings-store/Lifetime.h"
#include "settings-store/Observation.h"
#include "settings-store/Publisher.h"
#include "settings-store/Serializable.h"
#include "settings-store/UpdateStream.h"
#include "settings-store/Values.h"
