#pragma once

#include "CoreMinimal.h"

class UObject;

/**
 * The canonical JSON form of an asset: every reflected field under its declared name, in
 * declared order, none left out, two spaces per indentation level, one value per line.
 *
 * Numbers that a 32-bit float holds exactly are written in float's shortest form, so a float
 * field read from "0.1" is written "0.1" again rather than as the double nearest the float
 * (0.10000000149011612). Reading the output back gives the same field values.
 */
class FCanonicalJsonPrinter
{
public:
	/** The asset's fields as text ending in a line break; false when a field cannot be written as JSON. */
	static bool PrintAsset(const UObject& Asset, FString& OutText);
};
