#include "UObject/GCObject.h"
#include "UObject/UObjectArray.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <new>

namespace
{
	bool bCollecting = false;

	TArray<FGCObject*>& GetGCObjects()
	{
		static TArray<FGCObject*>* Objects = new TArray<FGCObject*>();
		return *Objects;
	}

	/** Marks what it is given as reachable and queues it so its own references get followed. */
	class FMarkingCollector final : public FReferenceCollector
	{
	public:
		explicit FMarkingCollector(FUObjectArray& InArray) : Array(InArray) {}

		void AddReferencedObject(UObject*& Object, const UObject* ReferencingObject) override
		{
			if (!Object)
			{
				return;
			}
			FUObjectItem& Item = Array.GetItemChecked(Object);
			if (Item.HasAnyFlags(EInternalObjectFlags::Garbage) && !Item.HasAnyFlags(EInternalObjectFlags::RootSet))
			{
				Object = nullptr;
				return;
			}
			Mark(Object);
		}

		/** Marks without the garbage rule: roots and outers. */
		void Mark(UObject* Object)
		{
			FUObjectItem& Item = Array.GetItemChecked(Object);
			if (Item.HasAnyFlags(EInternalObjectFlags::Unreachable))
			{
				Item.ClearFlags(EInternalObjectFlags::Unreachable);
				Pending.Add(Object);
			}
		}

		void Propagate()
		{
			while (!Pending.IsEmpty())
			{
				UObject* Object = Pending.Pop();
				if (UObject* Outer = Object->GetOuter())
				{
					Mark(Outer);
				}
				UClass* Class = Object->GetClass();
				Mark(Class);
				for (const FProperty* Property : Class->GetReferenceProperties())
				{
					Property->VisitReferences(Property->ContainerPtrToValuePtr(Object), *this);
				}
				if (UClass::FAddReferencedObjects AddReferenced = Class->GetAddReferencedObjects())
				{
					AddReferenced(Object, *this);
				}
			}
		}

	private:
		FUObjectArray& Array;
		TArray<UObject*> Pending;
	};

	void SetUnreachableEverywhere(FUObjectArray& Array, bool bUnreachable)
	{
		for (int32 Index = 0; Index < Array.GetMaxIndex(); ++Index)
		{
			FUObjectItem& Item = *Array.GetItem(Index);
			if (Item.Object)
			{
				bUnreachable ? Item.SetFlags(EInternalObjectFlags::Unreachable) : Item.ClearFlags(EInternalObjectFlags::Unreachable);
			}
		}
	}

	/** Flags every object unreachable, then clears the flag on everything the roots reach. */
	void MarkReachable(FUObjectArray& Array, EObjectFlags KeepFlags)
	{
		FMarkingCollector Collector(Array);
		SetUnreachableEverywhere(Array, true);
		for (int32 Index = 0; Index < Array.GetMaxIndex(); ++Index)
		{
			FUObjectItem& Item = *Array.GetItem(Index);
			if (Item.Object && (Item.HasAnyFlags(EInternalObjectFlags::RootSet) || (KeepFlags != RF_NoFlags && Item.Object->HasAnyFlags(KeepFlags))))
			{
				Collector.Mark(Item.Object);
			}
		}
		for (FGCObject* Referencer : TArray<FGCObject*>(GetGCObjects()))
		{
			Referencer->AddReferencedObjects(Collector);
		}
		Collector.Propagate();
	}

	TArray<UObject*> GatherUnreachable(FUObjectArray& Array)
	{
		TArray<UObject*> Dead;
		for (int32 Index = 0; Index < Array.GetMaxIndex(); ++Index)
		{
			FUObjectItem& Item = *Array.GetItem(Index);
			if (Item.Object && Item.HasAnyFlags(EInternalObjectFlags::Unreachable))
			{
				Dead.Add(Item.Object);
			}
		}
		return Dead;
	}

	void DestroyObjects(FUObjectArray& Array, const TArray<UObject*>& Dead)
	{
		for (UObject* Object : Dead)
		{
			Object->BeginDestroy();
		}
		for (UObject* Object : Dead)
		{
			Object->FinishDestroy();
		}
		for (UObject* Object : Dead)
		{
			const SIZE_T Alignment = static_cast<SIZE_T>(Object->GetClass()->GetMinAlignment());
			Array.RemoveName(Object);
			Array.Free(Object->GetUniqueID());
			Object->~UObject();
			::operator delete(Object, std::align_val_t(Alignment));
		}
	}
}

FGCObject::FGCObject()
{
	GetGCObjects().Add(this);
}

FGCObject::FGCObject(const FGCObject&)
{
	GetGCObjects().Add(this);
}

FGCObject::~FGCObject()
{
	GetGCObjects().RemoveSingle(this);
}

void CollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge)
{
	checkf(!bCollecting, TEXT("CollectGarbage called while collecting"));
	checkf(IsInGameThread(), TEXT("Garbage is collected on the game thread"));
	bCollecting = true;
	FUObjectArray& Array = FUObjectArray::Get();
	try
	{
		MarkReachable(Array, KeepFlags);
	}
	catch (...)
	{
		// A check failing midway through marking must not leave objects flagged unreachable
		// (weak pointers would read null) nor the collector locked for good.
		SetUnreachableEverywhere(Array, false);
		bCollecting = false;
		throw;
	}
	try
	{
		DestroyObjects(Array, GatherUnreachable(Array));
	}
	catch (...)
	{
		bCollecting = false;
		throw;
	}
	bCollecting = false;
}

bool IsGarbageCollecting()
{
	return bCollecting;
}
