#include "UObject/SoftObjectPath.h"

#include "UObject/SoftObjectPtr.h"
#include "UObject/UObjectGlobals.h"

FSoftObjectPath::FSoftObjectPath(const UObject* Object)
{
	if (Object)
	{
		PathString = Object->GetPathName();
	}
}

FString FSoftObjectPath::GetLongPackageName() const
{
	FString Package = PathString;
	PathString.Split(".", &Package, nullptr);
	return Package;
}

FString FSoftObjectPath::GetAssetName() const
{
	FString Asset;
	if (PathString.Split(".", nullptr, &Asset))
	{
		Asset.Split(":", &Asset, nullptr);
		return Asset;
	}
	FString Leaf = PathString;
	PathString.Split("/", nullptr, &Leaf, ESearchCase::IgnoreCase, ESearchDir::FromEnd);
	return Leaf;
}

UObject* FSoftObjectPath::ResolveObject() const
{
	return IsNull() ? nullptr : StaticFindObject(nullptr, nullptr, *PathString);
}

UObject* FSoftObjectPath::TryLoad() const
{
	return IsNull() ? nullptr : StaticLoadObject(UObject::StaticClass(), nullptr, *PathString);
}

FSoftObjectPtr::FSoftObjectPtr(const UObject* Object)
	: ObjectPath(Object)
	, Cache(Object)
{
}

UObject* FSoftObjectPtr::Get() const
{
	if (UObject* Cached = Cache.Get())
	{
		return Cached;
	}
	UObject* Found = ObjectPath.ResolveObject();
	Cache = Found;
	return Found;
}

UObject* FSoftObjectPtr::LoadSynchronous() const
{
	if (UObject* Loaded = Get())
	{
		return Loaded;
	}
	UObject* Loaded = ObjectPath.TryLoad();
	Cache = Loaded;
	return Loaded;
}

void FSoftObjectPtr::Reset()
{
	ObjectPath.Reset();
	Cache.Reset();
}
