#pragma once

#include "CoreMinimal.h"

/** Where a widget sits across the width its slot gives it. */
enum EHorizontalAlignment : uint8
{
	/** Stretched over the whole width. */
	HAlign_Fill,
	HAlign_Left,
	HAlign_Center,
	HAlign_Right,
};

/** Where a widget sits across the height its slot gives it. */
enum EVerticalAlignment : uint8
{
	/** Stretched over the whole height. */
	VAlign_Fill,
	VAlign_Top,
	VAlign_Center,
	VAlign_Bottom,
};
