#pragma once

// Making, finding, loading and collecting objects.

#include "CoreMinimal.h"
#include "Templates/Casts.h"
#include "UObject/Class.h"
#include "UObject/ObjectMacros.h"

class UPackage;

/** What NewObject hands to the object being constructed: its class, outer, name and flags. */
class COREUOBJECT_API FObjectInitializer
{
public:
	FObjectInitializer(UObject* InObject, UClass* InClass, UObject* InOuter, FName InName, EObjectFlags InFlags);

	UObject* GetObj() const { return Object; }
	UClass* GetClass() const { return Class; }
	UObject* GetOuter() const { return Outer; }
	FName GetName() const { return Name; }
	EObjectFlags GetFlags() const { return Flags; }

	/** The initializer of the object under construction on this thread; a failed check if none. */
	static FObjectInitializer& Get();

private:
	UObject* Object;
	UClass* Class;
	UObject* Outer;
	FName Name;
	EObjectFlags Flags;
};

/** The package that owns objects that are never saved; always present, never collected. */
COREUOBJECT_API UPackage* GetTransientPackage();
/** Finds or makes the package named PackageName ("/Game/Skin/T_Body"). */
COREUOBJECT_API UPackage* CreatePackage(const TCHAR* PackageName);
/** BaseName (default: the class name) with the lowest number "_N" not yet used in Outer. */
COREUOBJECT_API FName MakeUniqueObjectName(UObject* Outer, const UClass* Class, FName BaseName = NAME_None);

/**
 * Makes an object of Class in Outer (the transient package when null). A name already used
 * in that outer, an abstract class or a class that is not a T is a failed check.
 */
COREUOBJECT_API UObject* StaticConstructObject_Internal(const UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags);

template <typename T>
T* NewObject(UObject* Outer, const UClass* Class, FName Name = NAME_None, EObjectFlags Flags = RF_NoFlags)
{
	checkf(Class != nullptr && Class->IsChildOf(T::StaticClass()), TEXT("NewObject: %s is not a %s"),
		Class ? *Class->GetName() : TEXT("null class"), *T::StaticClass()->GetName());
	return static_cast<T*>(StaticConstructObject_Internal(Class, Outer, Name, Flags));
}

template <typename T>
T* NewObject(UObject* Outer = nullptr)
{
	return NewObject<T>(Outer, T::StaticClass());
}

template <typename T>
T* NewObject(UObject* Outer, FName Name, EObjectFlags Flags = RF_NoFlags)
{
	return NewObject<T>(Outer, T::StaticClass(), Name, Flags);
}

/**
 * Finds an object in memory. With an outer, Name is the object's name inside it; without,
 * Name is a full path ("/Game/A/B.B", "/Engine/Transient.Foo:Bar"). Null when absent or
 * not of Class.
 */
COREUOBJECT_API UObject* StaticFindObject(const UClass* Class, UObject* Outer, const TCHAR* Name, bool bExactClass = false);

template <typename T>
T* FindObject(UObject* Outer, const TCHAR* Name, bool bExactClass = false)
{
	return static_cast<T*>(StaticFindObject(T::StaticClass(), Outer, Name, bExactClass));
}

enum class EFindFirstObjectOptions : uint8
{
	None = 0,
	ExactClass = 1 << 0,
};

/**
 * The first object (in creation order) named Name whose class is Class or derives from it,
 * wherever it lives; Name may also be a full path. Null when there is none.
 */
COREUOBJECT_API UObject* StaticFindFirstObject(const UClass* Class, const TCHAR* Name, EFindFirstObjectOptions Options = EFindFirstObjectOptions::None);

template <typename T>
T* FindFirstObject(const TCHAR* Name, EFindFirstObjectOptions Options = EFindFirstObjectOptions::None)
{
	return static_cast<T*>(StaticFindFirstObject(T::StaticClass(), Name, Options));
}

/** Loads objects that are not in memory: installed by the asset layer, asked by StaticLoadObject. */
using FObjectLoadFunction = TFunction<UObject*(const UClass* Class, const FString& ObjectPath)>;
COREUOBJECT_API void SetObjectLoader(FObjectLoadFunction Loader);

enum ELoadFlags : uint32
{
	LOAD_None = 0,
	LOAD_NoWarn = 1 << 4,
	LOAD_Quiet = 1 << 13,
};

/**
 * Finds the object at Name (a path, or a name inside Outer) or loads it through the installed
 * loader; null, with a warning unless LOAD_NoWarn, when neither gives an object of Class.
 * A path without ".Name" ("/Game/A/B") names the asset called like its package ("/Game/A/B.B"),
 * unless Class is a package class.
 */
COREUOBJECT_API UObject* StaticLoadObject(const UClass* Class, UObject* Outer, const TCHAR* Name, const TCHAR* Filename = nullptr,
	uint32 LoadFlags = LOAD_None);

template <typename T>
T* LoadObject(UObject* Outer, const TCHAR* Name, const TCHAR* Filename = nullptr, uint32 LoadFlags = LOAD_None)
{
	return static_cast<T*>(StaticLoadObject(T::StaticClass(), Outer, Name, Filename, LoadFlags));
}

/** The class default object of T. */
template <typename T>
const T* GetDefault()
{
	return T::StaticClass()->template GetDefaultObject<T>();
}

/**
 * Destroys every object that nothing reaches: roots are rooted objects, objects with any of
 * KeepFlags, and what FGCObjects (TStrongObjectPtr among them) report. Reachability follows
 * reflected object references at any depth, AddReferencedObjects and each object's outer.
 * Objects marked as garbage are destroyed even when referenced, and those references are cleared;
 * a map pair or set element whose key refers to one is removed, since a key cannot change in place.
 */
COREUOBJECT_API void CollectGarbage(EObjectFlags KeepFlags = RF_NoFlags, bool bPerformFullPurge = true);
/** True while a collection runs. */
COREUOBJECT_API bool IsGarbageCollecting();
/** How many objects are alive now (reflection objects included). */
COREUOBJECT_API int32 GetNumLiveObjects();
