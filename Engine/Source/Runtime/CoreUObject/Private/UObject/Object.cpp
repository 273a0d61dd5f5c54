#include "UObject/Object.h"

#include "UObject/Class.h"
#include "UObject/Package.h"
#include "UObject/UObjectArray.h"
#include "UObject/UObjectGlobals.h"

UObject::UObject()
{
	InitializeFrom(FObjectInitializer::Get());
}

UObject::UObject(const FObjectInitializer& ObjectInitializer)
{
	InitializeFrom(ObjectInitializer);
}

UObject::~UObject() = default;

void UObject::InitializeFrom(const FObjectInitializer& ObjectInitializer)
{
	check(ObjectInitializer.GetObj() == this);
	ClassPrivate = ObjectInitializer.GetClass();
	OuterPrivate = ObjectInitializer.GetOuter();
	NamePrivate = ObjectInitializer.GetName();
	ObjectFlags = ObjectInitializer.GetFlags();
	FUObjectArray& Array = FUObjectArray::Get();
	InternalIndex = Array.Allocate(this);
	Array.AddName(this);
	if (HasAnyFlags(RF_MarkAsRootSet))
	{
		AddToRoot();
	}
}

FString UObject::GetPathName(const UObject* StopOuter) const
{
	if (this == StopOuter)
	{
		return FString("None");
	}
	const UObject* Outer = GetOuter();
	if (!Outer || Outer == StopOuter)
	{
		return GetName();
	}
	// A subobject of a package's top-level object is separated by ':', every other level by '.'.
	const bool bSubobject = !Outer->IsA(UPackage::StaticClass()) && Outer->GetOuter() && Outer->GetOuter()->IsA(UPackage::StaticClass());
	return Outer->GetPathName(StopOuter) + (bSubobject ? ":" : ".") + GetName();
}

FString UObject::GetFullName() const
{
	return (ClassPrivate ? ClassPrivate->GetName() : FString("None")) + " " + GetPathName();
}

UPackage* UObject::GetPackage() const
{
	const UObject* Top = this;
	while (Top->GetOuter())
	{
		Top = Top->GetOuter();
	}
	return Top->IsA(UPackage::StaticClass()) ? static_cast<UPackage*>(const_cast<UObject*>(Top)) : nullptr;
}

bool UObject::IsIn(const UObject* SomeOuter) const
{
	for (const UObject* Outer = GetOuter(); Outer; Outer = Outer->GetOuter())
	{
		if (Outer == SomeOuter)
		{
			return true;
		}
	}
	return false;
}

bool UObject::Rename(const TCHAR* NewName, UObject* NewOuter)
{
	UObject* TargetOuter = NewOuter ? NewOuter : GetOuter();
	const FName TargetName = NewName ? FName(NewName) : MakeUniqueObjectName(TargetOuter, GetClass());
	checkf(TargetOuter != this && !(TargetOuter && TargetOuter->IsIn(this)), TEXT("Renaming %s would make it its own outer"), *GetName());
	FUObjectArray& Array = FUObjectArray::Get();
	UObject* Existing = Array.FindByName(TargetOuter, TargetName);
	if (Existing && Existing != this)
	{
		return false;
	}
	Array.RemoveName(this);
	OuterPrivate = TargetOuter;
	NamePrivate = TargetName;
	Array.AddName(this);
	return true;
}

bool UObject::IsA(const UClass* SomeBase) const
{
	return SomeBase && ClassPrivate && ClassPrivate->IsChildOf(SomeBase);
}

void UObject::AddToRoot()
{
	FUObjectArray::Get().GetItemChecked(this).SetFlags(EInternalObjectFlags::RootSet);
}

void UObject::RemoveFromRoot()
{
	FUObjectArray::Get().GetItemChecked(this).ClearFlags(EInternalObjectFlags::RootSet);
}

bool UObject::IsRooted() const
{
	return FUObjectArray::Get().GetItemChecked(this).HasAnyFlags(EInternalObjectFlags::RootSet);
}

void UObject::MarkAsGarbage()
{
	FUObjectArray::Get().GetItemChecked(this).SetFlags(EInternalObjectFlags::Garbage);
}

void UObject::ClearGarbage()
{
	FUObjectArray::Get().GetItemChecked(this).ClearFlags(EInternalObjectFlags::Garbage);
}

bool UObject::IsGarbage() const
{
	return FUObjectArray::Get().GetItemChecked(this).HasAnyFlags(EInternalObjectFlags::Garbage);
}

bool UObject::IsUnreachable() const
{
	return FUObjectArray::Get().GetItemChecked(this).HasAnyFlags(EInternalObjectFlags::Unreachable);
}

UFunction* UObject::FindFunction(FName Name) const
{
	return GetClass() ? GetClass()->FindFunctionByName(Name) : nullptr;
}

UFunction* UObject::FindFunctionChecked(FName Name) const
{
	UFunction* Function = FindFunction(Name);
	checkf(Function != nullptr, TEXT("Failed to find function %s in %s"), *Name.ToString(), *GetFullName());
	return Function;
}

void UObject::ProcessEvent(UFunction* Function, void* Parms)
{
	check(Function != nullptr);
	Function->Invoke(this, Parms);
}

UWorld* UObject::GetWorld() const
{
	return GetOuter() ? GetOuter()->GetWorld() : nullptr;
}

bool IsValid(const UObject* Test)
{
	return Test && !Test->IsGarbage();
}
