#pragma once

#include "CoreMinimal.h"
#include "ProjectDescription.h"
#include "UObject/UObjectGlobals.h"

/**
 * The object of class ObjectType at ObjectPath, which Project names at Place (a key of
 * project.json, as "attachments[1].mesh"); null, with OutError naming the file, the key and
 * What, when it does not load (the loader has logged why).
 */
template <typename ObjectType>
ObjectType* LoadProjectObject(const FProjectDescription& Project, const FString& ObjectPath, const TCHAR* What, const FString& Place, FString& OutError)
{
	ObjectType* Object = LoadObject<ObjectType>(nullptr, *ObjectPath);
	if (!Object)
	{
		OutError = FString::Printf(TEXT("%s: %s: %s %s does not load (the warning above says why)"), *Project.File, *Place, What, *ObjectPath);
	}
	return Object;
}
