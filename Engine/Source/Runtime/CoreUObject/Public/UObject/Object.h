#pragma once

// UObject: the base of every engine object. Objects are made with NewObject, named inside
// their outer, reflected through their UClass and destroyed only by garbage collection.

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

class FObjectInitializer;
class FReferenceCollector;
class UFunction;
class UPackage;
class UWorld;

class COREUOBJECT_API UObject
{
public:
	using Super = UObject;
	using ThisClass = UObject;

	/** Takes class, outer, name and flags from the NewObject call that is constructing it. */
	UObject();
	explicit UObject(const FObjectInitializer& ObjectInitializer);
	virtual ~UObject();
	UObject(const UObject&) = delete;
	UObject& operator=(const UObject&) = delete;

	static UClass* StaticClass();
	/** Reports object references that reflection cannot see; the collector follows them. */
	static void AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector) {}

	UClass* GetClass() const { return ClassPrivate; }
	UObject* GetOuter() const { return OuterPrivate; }
	FName GetFName() const { return NamePrivate; }
	FString GetName() const { return NamePrivate.ToString(); }
	/** "Package.Object" for an object in a package, with ':' before the first subobject level. */
	FString GetPathName(const UObject* StopOuter = nullptr) const;
	/** The class name, a space, then the path name. */
	FString GetFullName() const;
	/** The package at the top of the outer chain (the object itself for a package). */
	UPackage* GetPackage() const;
	UPackage* GetOutermost() const { return GetPackage(); }
	template <typename T>
	T* GetTypedOuter() const
	{
		for (UObject* Outer = GetOuter(); Outer; Outer = Outer->GetOuter())
		{
			if (Outer->IsA(T::StaticClass()))
			{
				return static_cast<T*>(Outer);
			}
		}
		return nullptr;
	}
	bool IsIn(const UObject* SomeOuter) const;
	/** Changes name and/or outer; false when the new name is taken in the new outer. */
	bool Rename(const TCHAR* NewName = nullptr, UObject* NewOuter = nullptr);

	EObjectFlags GetFlags() const { return ObjectFlags; }
	void SetFlags(EObjectFlags Flags) { ObjectFlags |= Flags; }
	void ClearFlags(EObjectFlags Flags) { ObjectFlags &= ~Flags; }
	bool HasAnyFlags(EObjectFlags Flags) const { return EnumHasAnyFlags(ObjectFlags, Flags); }
	bool HasAllFlags(EObjectFlags Flags) const { return EnumHasAllFlags(ObjectFlags, Flags); }

	bool IsA(const UClass* SomeBase) const;
	template <typename T>
	bool IsA() const
	{
		return IsA(T::StaticClass());
	}

	/** A rooted object is never collected. */
	void AddToRoot();
	void RemoveFromRoot();
	bool IsRooted() const;
	/** Marks the object for destruction at the next collection; references to it are cleared then. */
	void MarkAsGarbage();
	void ClearGarbage();
	bool IsGarbage() const;
	bool IsUnreachable() const;
	/** The object's slot in the global object array; stable for its lifetime. */
	int32 GetUniqueID() const { return InternalIndex; }

	UFunction* FindFunction(FName Name) const;
	UFunction* FindFunctionChecked(FName Name) const;
	/** Calls Function on this object with its parameter block (the generated parameter struct). */
	virtual void ProcessEvent(UFunction* Function, void* Parms);

	virtual UWorld* GetWorld() const;
	/** Called once reflected properties hold their initial values. */
	virtual void PostInitProperties() {}
	/** First step of destruction; every object being collected gets this before any is destroyed. */
	virtual void BeginDestroy() {}
	virtual void FinishDestroy() {}

private:
	friend struct FCoreClassBootstrap;
	void InitializeFrom(const FObjectInitializer& ObjectInitializer);

	UClass* ClassPrivate = nullptr;
	UObject* OuterPrivate = nullptr;
	FName NamePrivate;
	EObjectFlags ObjectFlags = RF_NoFlags;
	int32 InternalIndex = INDEX_NONE;
};

/** True for a non-null object that is not marked as garbage. */
COREUOBJECT_API bool IsValid(const UObject* Test);
