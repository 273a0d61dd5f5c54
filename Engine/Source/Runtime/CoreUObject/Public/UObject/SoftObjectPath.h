#pragma once

#include "CoreMinimal.h"

class UClass;
class UObject;

/**
 * The path of an object that may not be loaded: "/Game/Skin/T_Body.T_Body" (package, then
 * object), optionally followed by ":Subobject".
 */
class COREUOBJECT_API FSoftObjectPath
{
public:
	FSoftObjectPath() = default;
	FSoftObjectPath(const FString& Path) : PathString(Path.TrimStartAndEnd()) {}
	FSoftObjectPath(const TCHAR* Path) : FSoftObjectPath(FString(Path)) {}
	FSoftObjectPath(const UObject* Object);

	const FString& ToString() const { return PathString; }
	bool IsNull() const { return PathString.IsEmpty(); }
	bool IsValid() const { return !IsNull(); }
	void Reset() { PathString.Empty(); }
	/** "/Game/Skin/T_Body" for "/Game/Skin/T_Body.T_Body". */
	FString GetLongPackageName() const;
	/** "T_Body" for "/Game/Skin/T_Body.T_Body"; the last path element when there is no '.'. */
	FString GetAssetName() const;

	/** The object if it is in memory, without loading. */
	UObject* ResolveObject() const;
	/** The object, loaded through StaticLoadObject if needed; null when that fails. */
	UObject* TryLoad() const;

	/** Paths compare without letter case, as object names do. */
	bool operator==(const FSoftObjectPath& Other) const { return PathString == Other.PathString; }
	friend uint32 GetTypeHash(const FSoftObjectPath& Path) { return GetTypeHash(Path.PathString); }

private:
	FString PathString;
};
