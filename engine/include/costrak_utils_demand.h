#pragma once
// Demand functions: make sure an item exists in its manager before it is used,
// loading the resource of the same ID on first use. Each returns the item's
// integer ID; an ID that still names no item afterwards is an error record.
#include <cstdint>

class COstrak;
using O2DFindFn = int32_t (COstrak::*)(const char*);

// Searches with `find` (which logs its own miss); on a miss loads the resource
// `resourceID` and searches again. -1 when the item is still missing.
int32_t O2DUTIL_FindOrLoad(O2DFindFn find, const char* id, const char* resourceID);

int32_t O2DUTIL_DemandTexture(const char* id);
// A missing technique loads the whole pack resource that declares it.
int32_t O2DUTIL_DemandTechnique(const char* id, const char* techPackID);
int32_t O2DUTIL_DemandFont(const char* id);

// Sound and music without a sound card: nothing is loaded, and the demand of a
// registered resource gives -2 (as the loaders do), which every sound and music
// operation ignores.
int32_t O2DUTIL_DemandSound(const char* id);
int32_t O2DUTIL_DemandMusic(const char* id);
int32_t O2DUTIL_DemandPlaylist(const char* id);
