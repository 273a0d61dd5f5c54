#include "UObject/UObjectGlobals.h"

#include "UObject/ObjectConstruction.h"
#include "UObject/Package.h"
#include "UObject/UObjectArray.h"

#include <new>

DEFINE_LOG_CATEGORY_STATIC(LogUObjectGlobals, Log, All);

namespace
{
	/** Initializers of the objects being constructed on this thread, innermost last. */
	thread_local TArray<FObjectInitializer*> InitializerStack;

	FObjectLoadFunction& GetObjectLoader()
	{
		static FObjectLoadFunction Loader;
		return Loader;
	}

	/** Splits "Outer.Name:Sub" at its separators. */
	TArray<FString> SplitObjectPath(const FString& Path)
	{
		TArray<FString> Parts;
		FString Current;
		for (const TCHAR Character : Path.ToView())
		{
			if (Character == '.' || Character == ':')
			{
				Parts.Add(Current);
				Current.Empty();
			}
			else
			{
				Current.AppendChar(Character);
			}
		}
		Parts.Add(Current);
		return Parts;
	}
}

FObjectInitializer::FObjectInitializer(UObject* InObject, UClass* InClass, UObject* InOuter, FName InName, EObjectFlags InFlags)
	: Object(InObject)
	, Class(InClass)
	, Outer(InOuter)
	, Name(InName)
	, Flags(InFlags)
{
}

FObjectInitializer& FObjectInitializer::Get()
{
	checkf(!InitializerStack.IsEmpty(), TEXT("Objects are made with NewObject, not constructed directly"));
	return *InitializerStack.Last();
}

namespace UE::CoreUObject::Private
{
	UObject* ConstructObject(UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags, int32 Size, int32 Alignment,
		UClass::FClassConstructor Constructor)
	{
		void* Memory = ::operator new(static_cast<SIZE_T>(Size), std::align_val_t(static_cast<SIZE_T>(Alignment)));
		FObjectInitializer Initializer(static_cast<UObject*>(Memory), Class, Outer, Name, Flags);
		InitializerStack.Add(&Initializer);
		try
		{
			UObject* Object = Constructor(Memory, Initializer);
			InitializerStack.Pop();
			return Object;
		}
		catch (...)
		{
			InitializerStack.Pop();
			::operator delete(Memory, std::align_val_t(static_cast<SIZE_T>(Alignment)));
			throw;
		}
	}
}

UObject* StaticConstructObject_Internal(const UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags)
{
	checkf(Class != nullptr, TEXT("NewObject needs a class"));
	checkf(!Class->HasAnyClassFlags(CLASS_Abstract) && Class->GetClassConstructor() != nullptr,
		TEXT("Cannot make an object of abstract class %s"), *Class->GetName());
	checkf(!IsGarbageCollecting(), TEXT("Objects cannot be made while garbage is being collected"));
	if (!Outer && !Class->IsChildOf(UPackage::StaticClass()))
	{
		Outer = GetTransientPackage();
	}
	if (Name.IsNone())
	{
		Name = MakeUniqueObjectName(Outer, Class);
	}
	else
	{
		UObject* Existing = FUObjectArray::Get().FindByName(Outer, Name);
		checkf(Existing == nullptr, TEXT("An object named %s already exists in %s"), *Name.ToString(),
			Outer ? *Outer->GetPathName() : TEXT("the root"));
	}
	UObject* Object = UE::CoreUObject::Private::ConstructObject(const_cast<UClass*>(Class), Outer, Name, Flags, Class->GetPropertiesSize(),
		Class->GetMinAlignment(), Class->GetClassConstructor());
	Object->PostInitProperties();
	return Object;
}

FName MakeUniqueObjectName(UObject* Outer, const UClass* Class, FName BaseName)
{
	check(Class != nullptr);
	const FString Base = BaseName.IsNone() ? Class->GetName() : BaseName.GetPlainNameString();
	// Counting on from the last number handed out for this base name keeps the search short.
	static TMap<FString, int32> NextNumbers;
	int32& Next = NextNumbers.FindOrAdd(Base);
	for (;; ++Next)
	{
		const FName Candidate(*Base, Next + 1);
		if (!FUObjectArray::Get().FindByName(Outer, Candidate))
		{
			++Next;
			return Candidate;
		}
	}
}

UObject* StaticFindObject(const UClass* Class, UObject* Outer, const TCHAR* Name, bool bExactClass)
{
	if (!Name || !*Name)
	{
		return nullptr;
	}
	const TArray<FString> Parts = SplitObjectPath(FString(Name).TrimStartAndEnd());
	UObject* Current = Outer;
	for (const FString& Part : Parts)
	{
		if (Part.IsEmpty())
		{
			return nullptr;
		}
		Current = FUObjectArray::Get().FindByName(Current, FName(Part));
		if (!Current)
		{
			return nullptr;
		}
	}
	if (Class && !(bExactClass ? Current->GetClass() == Class : Current->IsA(Class)))
	{
		return nullptr;
	}
	return Current;
}

UObject* StaticFindFirstObject(const UClass* Class, const TCHAR* Name, EFindFirstObjectOptions Options)
{
	const FString Text = FString(Name ? Name : TEXT("")).TrimStartAndEnd();
	const bool bExactClass = Options == EFindFirstObjectOptions::ExactClass;
	if (Text.Contains(TEXT("/")) || Text.Contains(TEXT(".")) || Text.Contains(TEXT(":")))
	{
		return StaticFindObject(Class, nullptr, *Text, bExactClass);
	}
	if (Text.IsEmpty())
	{
		return nullptr;
	}
	const FName WantedName(Text);
	FUObjectArray& Array = FUObjectArray::Get();
	for (int32 Index = 0; Index < Array.GetMaxIndex(); ++Index)
	{
		UObject* Object = Array.GetItem(Index)->Object;
		if (Object && Object->GetFName() == WantedName && (!Class || (bExactClass ? Object->GetClass() == Class : Object->IsA(Class))))
		{
			return Object;
		}
	}
	return nullptr;
}

void SetObjectLoader(FObjectLoadFunction Loader)
{
	GetObjectLoader() = std::move(Loader);
}

UObject* StaticLoadObject(const UClass* Class, UObject* Outer, const TCHAR* Name, const TCHAR* Filename, uint32 LoadFlags)
{
	if (!Class)
	{
		Class = UObject::StaticClass();
	}
	if (!Name || !*Name)
	{
		return nullptr;
	}
	// As the engine does, a bare package path ("/Game/A/B") names the asset called like its
	// package ("/Game/A/B.B") unless a package is what is asked for.
	FString ObjectPath = FString(Name).TrimStartAndEnd();
	if (!Outer && ObjectPath.StartsWith(TEXT("/")) && !ObjectPath.Contains(TEXT(".")) && !Class->IsChildOf(UPackage::StaticClass()))
	{
		FString ShortName = ObjectPath;
		ObjectPath.Split(TEXT("/"), nullptr, &ShortName, ESearchCase::IgnoreCase, ESearchDir::FromEnd);
		ObjectPath = ObjectPath + TEXT(".") + ShortName;
	}
	UObject* Found = StaticFindObject(nullptr, Outer, *ObjectPath);
	if (!Found && !Outer && GetObjectLoader())
	{
		Found = GetObjectLoader()(Class, ObjectPath);
	}
	if (Found && !Found->IsA(Class))
	{
		if (!(LoadFlags & LOAD_NoWarn))
		{
			UE_LOG(LogUObjectGlobals, Warning, TEXT("Object '%s' is not a %s"), *Found->GetFullName(), *Class->GetName());
		}
		return nullptr;
	}
	if (!Found && !(LoadFlags & LOAD_NoWarn))
	{
		UE_LOG(LogUObjectGlobals, Warning, TEXT("Failed to find object '%s %s'"), *Class->GetName(), Name);
	}
	return Found;
}

int32 GetNumLiveObjects()
{
	return FUObjectArray::Get().GetNumLive();
}
