#include "GarbageCollectionStressTypes.h"

#include "UObject/GCObject.h"

void UGCStressNode::AddReferencedObjects(UObject* InThis, FReferenceCollector& Collector)
{
	Super::AddReferencedObjects(InThis, Collector);
	Collector.AddReferencedObjects(static_cast<UGCStressNode*>(InThis)->Unreflected, InThis);
}

void UGCStressNode::BeginDestroy()
{
	if (Id != INDEX_NONE)
	{
		++GetDestructionCounts().FindOrAdd(Id);
	}
	Super::BeginDestroy();
}

TMap<int32, int32>& UGCStressNode::GetDestructionCounts()
{
	static TMap<int32, int32> Counts;
	return Counts;
}
