#pragma once

#include "UObject/GCObject.h"
#include "UObject/Object.h"

/** Keeps its object alive: a collection root for as long as the pointer holds it. */
template <typename T>
class TStrongObjectPtr
{
public:
	TStrongObjectPtr() = default;
	explicit TStrongObjectPtr(T* InObject) : Root(InObject) {}
	TStrongObjectPtr(const TStrongObjectPtr& Other) : Root(Other.Get()) {}
	TStrongObjectPtr& operator=(const TStrongObjectPtr& Other)
	{
		Root.Object = Other.Get();
		return *this;
	}
	template <typename U>
		requires std::is_convertible_v<U*, T*>
	TStrongObjectPtr(const TStrongObjectPtr<U>& Other) : Root(Other.Get())
	{
	}

	T* Get() const { return static_cast<T*>(Root.Object); }
	T* operator->() const { return Get(); }
	T& operator*() const { return *Get(); }
	bool IsValid() const { return Root.Object != nullptr; }
	explicit operator bool() const { return IsValid(); }
	void Reset(T* NewObject = nullptr) { Root.Object = NewObject; }

	bool operator==(const TStrongObjectPtr& Other) const { return Get() == Other.Get(); }

private:
	struct FRoot final : FGCObject
	{
		explicit FRoot(UObject* InObject = nullptr) : Object(InObject) {}
		void AddReferencedObjects(FReferenceCollector& Collector) override { Collector.AddReferencedObject(Object); }
		FString GetReferencerName() const override { return FString("TStrongObjectPtr"); }
		UObject* Object;
	};
	FRoot Root;
};
