#pragma once

// Garbage-collection roots outside reflection: an FGCObject reports the objects it holds to
// every collection, and FReferenceCollector is what it reports them to.

#include "CoreMinimal.h"
#include "UObject/ObjectPtr.h"

class UObject;

class COREUOBJECT_API FReferenceCollector
{
public:
	virtual ~FReferenceCollector() = default;

	/**
	 * Keeps Object alive. A reference to an object marked as garbage is cleared instead, so
	 * nothing holds on to a destroyed object.
	 */
	virtual void AddReferencedObject(UObject*& Object, const UObject* ReferencingObject = nullptr) = 0;

	template <typename T>
	void AddReferencedObject(T*& Object, const UObject* ReferencingObject = nullptr)
	{
		AddReferencedObject(reinterpret_cast<UObject*&>(Object), ReferencingObject);
	}
	template <typename T>
	void AddReferencedObject(TObjectPtr<T>& Object, const UObject* ReferencingObject = nullptr)
	{
		AddReferencedObject(reinterpret_cast<UObject*&>(Object), ReferencingObject);
	}
	template <typename T>
	void AddReferencedObjects(TArray<T>& Objects, const UObject* ReferencingObject = nullptr)
	{
		for (T& Object : Objects)
		{
			AddReferencedObject(Object, ReferencingObject);
		}
	}
};

/** Registers itself while it lives; every collection asks it for the objects it keeps alive. */
class COREUOBJECT_API FGCObject
{
public:
	FGCObject();
	FGCObject(const FGCObject&);
	FGCObject& operator=(const FGCObject&) { return *this; }
	virtual ~FGCObject();

	virtual void AddReferencedObjects(FReferenceCollector& Collector) = 0;
	virtual FString GetReferencerName() const = 0;
};
