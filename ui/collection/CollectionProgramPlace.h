#pragma once
// The Collection view as one of the places Compare Programs... takes its programs from: its
// selected programs, each named by its shown name and id.

#include "parameters/LastSelectedPrograms.h"

class CCollectionView;

CSelectionPlace CollectionProgramPlace(CCollectionView& view);
