#pragma once

#include "UObject/Object.h"

/** The outermost object of a group of objects: a content package ("/Game/Skin/T_Body") or a script package. */
class COREUOBJECT_API UPackage : public UObject
{
public:
	using Super = UObject;
	static UClass* StaticClass();
};
