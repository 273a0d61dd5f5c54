#include "GarbageCollectionStressTypes.h"
#include "UObject/Package.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/WeakObjectPtr.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

// The collector checked against a shadow model: the test keeps its own adjacency lists of
// every reference it writes, works out what must survive with a plain breadth-first search
// over them, and compares that with what the runtime destroyed. Liveness is read from the
// destruction counts the test class records, so the check does not depend on reflection.

namespace
{
	/** Where a node holds a reference; each slot is written the way its container wants. */
	enum class EGCSlot : uint8
	{
		Raw,
		Ptr,
		LeafRef,
		BundleDirect,
		Array,
		BundleLinks,
		Bundles,
		Unreflected,
		ByValue,
		BundlesByTag,
		ByKey,
		Members,
		KeyRecords,
		Pairs,
		Weak,
		BundleWeak,
		Soft,
		Count
	};

	constexpr const char* SlotNames[] = {"Raw", "Ptr", "LeafRef", "Bundle.Direct", "Array", "Bundle.Links", "Bundles", "Unreflected",
		"ByValue", "BundlesByTag", "ByKey", "Members", "KeyRecords", "Pairs", "Weak", "Bundle.Weak", "Soft"};
	static_assert(std::size(SlotNames) == static_cast<size_t>(EGCSlot::Count));

	bool IsSingle(EGCSlot Slot)
	{
		return Slot <= EGCSlot::BundleDirect || Slot >= EGCSlot::Weak;
	}

	bool IsList(EGCSlot Slot)
	{
		return Slot >= EGCSlot::Array && Slot <= EGCSlot::Unreflected;
	}

	/** Keys hash their object, so collection removes the entry rather than clearing it. */
	bool IsKey(EGCSlot Slot)
	{
		return Slot >= EGCSlot::ByKey && Slot <= EGCSlot::Pairs;
	}

	bool IsStrong(EGCSlot Slot)
	{
		return Slot < EGCSlot::Weak;
	}

	/** One reference in the model: Target (and Value, for Pairs) are node indices. */
	struct FGCEdge
	{
		EGCSlot Slot = EGCSlot::Raw;
		int32 Target = INDEX_NONE;
		int32 Value = INDEX_NONE;
		int32 Tag = 0;
	};

	struct FGCShadowNode
	{
		UGCStressNode* Object = nullptr;
		FWeakObjectPtr Tracker;
		int32 Id = INDEX_NONE;
		/** INDEX_NONE for the transient package, which is never collected. */
		int32 Outer = INDEX_NONE;
		bool bLeaf = false;
		bool bAlive = true;
		bool bRooted = false;
		bool bGarbage = false;
		bool bStandalone = false;
		/** Renamed since creation: soft pointers hold paths, so they may no longer find it. */
		bool bMoved = false;
		TArray<FGCEdge> Edges;
	};

	int32 NextNodeId = 0;

	FGCStressLink MakeLink(UObject* Target)
	{
		FGCStressLink Link;
		Link.Target = Target;
		return Link;
	}

	FGCStressBundle MakeLinkBundle(UObject* Target)
	{
		FGCStressBundle Bundle;
		Bundle.Links.Add(MakeLink(Target));
		return Bundle;
	}

	FGCStressKey MakeKey(UObject* Target, int32 Tag)
	{
		FGCStressKey Key;
		Key.Target = Target;
		Key.Tag = Tag;
		return Key;
	}

	/**
	 * Stress nodes plus the shadow model of their references, roots and outers. Every change goes
	 * through here so the model and the runtime stay in step; Collect runs the collector and
	 * checks the runtime against the model.
	 */
	class FGCStressWorld
	{
	public:
		explicit FGCStressWorld(uint32 Seed) : Random(Seed) {}
		FGCStressWorld(const FGCStressWorld&) = delete;
		FGCStressWorld& operator=(const FGCStressWorld&) = delete;
		~FGCStressWorld() { LetGo(); }

		std::string Context;

		int32 Create(bool bLeaf, int32 Outer = INDEX_NONE)
		{
			FGCShadowNode Node;
			Node.Id = NextNodeId++;
			Node.bLeaf = bLeaf;
			Node.Outer = Outer;
			// Names are never reused, so a soft path can only ever find this node.
			const FName Name(*FString::Printf(TEXT("GCStressNode_%d"), Node.Id));
			UObject* OuterObject = Outer == INDEX_NONE ? nullptr : Nodes[Outer].Object;
			Node.Object = bLeaf ? NewObject<UGCStressLeaf>(OuterObject, Name) : NewObject<UGCStressNode>(OuterObject, Name);
			Node.Object->Id = Node.Id;
			Node.Tracker = Node.Object;
			Nodes.Add(Node);
			return Nodes.Num() - 1;
		}

		UGCStressNode* Get(int32 Node) const { return Node == INDEX_NONE ? nullptr : Nodes[Node].Object; }
		/** Read from the runtime (the node's destruction record), not from the model. */
		bool IsAlive(int32 Node) const { return !UGCStressNode::GetDestructionCounts().Contains(Nodes[Node].Id); }

		void AddEdge(int32 Source, EGCSlot Slot, int32 Target, int32 Value = INDEX_NONE)
		{
			check(Slot != EGCSlot::LeafRef || Nodes[Source].bLeaf);
			const FGCEdge Edge{Slot, Target, Value, NextTag++};
			WriteEdge(*Nodes[Source].Object, Edge);
			TArray<FGCEdge>& Edges = Nodes[Source].Edges;
			// Single slots, map keys and set elements replace an equal entry instead of adding one.
			const int32 Existing = Edges.IndexOfByPredicate([&](const FGCEdge& Other) {
				return Other.Slot == Slot && (IsSingle(Slot) || ((Slot == EGCSlot::ByKey || Slot == EGCSlot::Members || Slot == EGCSlot::Pairs) && Other.Target == Target));
			});
			if (Existing == INDEX_NONE)
			{
				Edges.Add(Edge);
			}
			else
			{
				Edges[Existing] = Edge;
			}
		}

		void RemoveEdge(int32 Source, int32 EdgeIndex)
		{
			FGCShadowNode& Node = Nodes[Source];
			const FGCEdge Edge = Node.Edges[EdgeIndex];
			EraseEdge(*Node.Object, Edge, OrdinalInSlot(Node, EdgeIndex));
			Node.Edges.RemoveAt(EdgeIndex);
		}

		void SetRooted(int32 Node, bool bRooted)
		{
			Nodes[Node].bRooted = bRooted;
			bRooted ? Nodes[Node].Object->AddToRoot() : Nodes[Node].Object->RemoveFromRoot();
		}

		void SetGarbage(int32 Node, bool bGarbage)
		{
			Nodes[Node].bGarbage = bGarbage;
			bGarbage ? Nodes[Node].Object->MarkAsGarbage() : Nodes[Node].Object->ClearGarbage();
		}

		void SetStandalone(int32 Node, bool bStandalone)
		{
			Nodes[Node].bStandalone = bStandalone;
			bStandalone ? Nodes[Node].Object->SetFlags(RF_Standalone) : Nodes[Node].Object->ClearFlags(RF_Standalone);
		}

		void AddStrong(int32 Node)
		{
			Strong.push_back(std::make_unique<TStrongObjectPtr<UGCStressNode>>(Nodes[Node].Object));
			StrongTargets.Add(Node);
		}

		void DropStrong(int32 Index)
		{
			Strong.erase(Strong.begin() + Index);
			StrongTargets.RemoveAt(Index);
		}

		/** Moves Node under NewOuter (INDEX_NONE: the transient package), keeping its name. */
		void MoveTo(int32 Node, int32 NewOuter)
		{
			UGCStressNode* Object = Nodes[Node].Object;
			UObject* OuterObject = NewOuter == INDEX_NONE ? static_cast<UObject*>(GetTransientPackage()) : Nodes[NewOuter].Object;
			EXPECT_TRUE(Object->Rename(*Object->GetName(), OuterObject)) << Context;
			Nodes[Node].Outer = NewOuter;
			Nodes[Node].bMoved = true;
		}

		/** True when Node is Ancestor or lies anywhere below it in the outer chain. */
		bool IsWithin(int32 Node, int32 Ancestor) const
		{
			for (int32 Current = Node; Current != INDEX_NONE; Current = Nodes[Current].Outer)
			{
				if (Current == Ancestor)
				{
					return true;
				}
			}
			return false;
		}

		/** Collects, then checks the runtime against the model; false once they disagree. */
		bool Collect(bool bKeepStandalone = false)
		{
			const TArray<bool> Reachable = ExpectReachable(bKeepStandalone);
			int32 ExpectedDestroyed = 0;
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				ExpectedDestroyed += Nodes[Index].bAlive && !Reachable[Index];
			}
			const int32 LiveBefore = GetNumLiveObjects();
			CollectGarbage(bKeepStandalone ? RF_Standalone : RF_NoFlags);
			ApplyCollection(Reachable);

			bool bOk = CheckLiveness();
			if (LiveBefore - GetNumLiveObjects() != ExpectedDestroyed)
			{
				bOk = Fail("destroyed " + std::to_string(LiveBefore - GetNumLiveObjects()) + " objects, expected " + std::to_string(ExpectedDestroyed));
			}
			if (!bOk)
			{
				return false; // a node destroyed too early must not be read below
			}
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				bOk &= !Nodes[Index].bAlive || CheckReferences(Index);
			}
			for (size_t Index = 0; Index < Strong.size(); ++Index)
			{
				if (Strong[Index]->Get() != Get(StrongTargets[static_cast<int32>(Index)]))
				{
					bOk = Fail("a strong pointer to a garbage node was not cleared, or one to a live node was");
				}
			}
			return bOk;
		}

		/** Drops every root and collects, which must destroy every node still alive. */
		bool ReleaseAll()
		{
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				if (Nodes[Index].bAlive)
				{
					SetRooted(Index, false);
					SetStandalone(Index, false);
				}
			}
			Strong.clear();
			StrongTargets.Empty();
			return Collect();
		}

		/** One random change: a node, a reference, a root, an outer or a flag. */
		void RandomStep()
		{
			const TArray<int32> Live = LiveNodes();
			const int32 Roll = RandomBelow(100);
			if (Live.IsEmpty() || (Roll < 12 && Live.Num() < 80))
			{
				const int32 Outer = Live.IsEmpty() || RandomBelow(2) == 0 ? INDEX_NONE : Pick(Live);
				Create(RandomBelow(3) == 0, Outer);
			}
			else if (Roll < 50)
			{
				RandomAddEdge(Live);
			}
			else if (Roll < 66)
			{
				RandomRemoveEdge(Live);
			}
			else if (Roll < 74)
			{
				const int32 Node = Pick(Live);
				SetRooted(Node, !Nodes[Node].bRooted);
			}
			else if (Roll < 82)
			{
				if (!StrongTargets.IsEmpty() && RandomBelow(2) == 0)
				{
					DropStrong(RandomBelow(StrongTargets.Num()));
				}
				else
				{
					AddStrong(Pick(Live));
				}
			}
			else if (Roll < 90)
			{
				RandomMove(Live);
			}
			else if (Roll < 95)
			{
				const int32 Node = Pick(Live);
				SetGarbage(Node, !Nodes[Node].bGarbage);
			}
			else
			{
				const int32 Node = Pick(Live);
				SetStandalone(Node, !Nodes[Node].bStandalone);
			}
		}

		int32 RandomBelow(int32 Bound) { return static_cast<int32>(Random() % static_cast<uint32>(Bound)); }

	private:
		std::mt19937 Random;
		TArray<FGCShadowNode> Nodes;
		std::vector<std::unique_ptr<TStrongObjectPtr<UGCStressNode>>> Strong;
		TArray<int32> StrongTargets;
		int32 NextTag = 1;

		/** A reference to such a node is cleared (and does not mark it) during collection. */
		bool IsCleared(int32 Node) const { return Node != INDEX_NONE && Nodes[Node].bGarbage && !Nodes[Node].bRooted; }

		/** Breadth-first over the model from the roots, through strong references and outers. */
		TArray<bool> ExpectReachable(bool bKeepStandalone) const
		{
			TArray<bool> Reached;
			Reached.Init(false, Nodes.Num());
			TArray<int32> Queue;
			auto Reach = [&](int32 Node) {
				if (Node != INDEX_NONE && !Reached[Node])
				{
					Reached[Node] = true;
					Queue.Add(Node);
				}
			};
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				if (Nodes[Index].bAlive && (Nodes[Index].bRooted || (bKeepStandalone && Nodes[Index].bStandalone)))
				{
					Reach(Index);
				}
			}
			for (const int32 Target : StrongTargets)
			{
				if (!IsCleared(Target))
				{
					Reach(Target);
				}
			}
			for (int32 Head = 0; Head < Queue.Num(); ++Head)
			{
				const FGCShadowNode& Node = Nodes[Queue[Head]];
				Reach(Node.Outer);
				for (const FGCEdge& Edge : Node.Edges)
				{
					if (!IsStrong(Edge.Slot) || IsCleared(Edge.Target))
					{
						continue; // a cleared reference marks nothing; a cleared key takes its pair's value along
					}
					Reach(Edge.Target);
					if (!IsCleared(Edge.Value))
					{
						Reach(Edge.Value);
					}
				}
			}
			return Reached;
		}

		/** What collection does to the model: unreached nodes die, references to garbage clear. */
		void ApplyCollection(const TArray<bool>& Reachable)
		{
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				FGCShadowNode& Node = Nodes[Index];
				if (!Node.bAlive)
				{
					continue;
				}
				if (!Reachable[Index])
				{
					Node.bAlive = false;
					Node.Edges.Empty();
					continue;
				}
				for (FGCEdge& Edge : Node.Edges)
				{
					if (IsStrong(Edge.Slot) && IsCleared(Edge.Target))
					{
						Edge.Target = INDEX_NONE;
					}
					if (IsCleared(Edge.Value))
					{
						Edge.Value = INDEX_NONE;
					}
				}
				Node.Edges.RemoveAll([](const FGCEdge& Edge) { return Edge.Target == INDEX_NONE && (IsSingle(Edge.Slot) || IsKey(Edge.Slot)); });
			}
			for (int32& Target : StrongTargets)
			{
				Target = IsCleared(Target) ? INDEX_NONE : Target;
			}
		}

		bool CheckLiveness() const
		{
			bool bOk = true;
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				const FGCShadowNode& Node = Nodes[Index];
				const int32* Count = UGCStressNode::GetDestructionCounts().Find(Node.Id);
				const int32 Destructions = Count ? *Count : 0;
				if (Destructions != (Node.bAlive ? 0 : 1))
				{
					bOk = Fail(Describe(Index) + (Node.bAlive ? " is reachable but was destroyed" : " is unreachable but survived")
						+ " (destroyed " + std::to_string(Destructions) + " times)");
					continue;
				}
				UObject* const Expected = Node.bAlive ? Node.Object : nullptr;
				if (Node.Tracker.Get(true) != Expected || Node.Tracker.IsStale() == Node.bAlive)
				{
					bOk = Fail("the weak pointer to " + Describe(Index) + " does not follow its lifetime");
				}
				if (Node.Tracker.Get() != (Node.bGarbage ? nullptr : Expected))
				{
					bOk = Fail("the weak pointer to " + Describe(Index) + " reads a garbage or dead object");
				}
			}
			return bOk;
		}

		/** The runtime object a live reference should read: null once the target is garbage or gone. */
		UObject* WeakExpected(int32 Target) const
		{
			return Target != INDEX_NONE && Nodes[Target].bAlive && !Nodes[Target].bGarbage ? Nodes[Target].Object : nullptr;
		}

		bool CheckReferences(int32 Index) const
		{
			const FGCShadowNode& Node = Nodes[Index];
			bool bOk = true;
			for (int32 Slot = 0; Slot < static_cast<int32>(EGCSlot::Count); ++Slot)
			{
				TArray<FGCEdge> Expected = Node.Edges.FilterByPredicate([&](const FGCEdge& Edge) { return Edge.Slot == static_cast<EGCSlot>(Slot); });
				if (!CheckSlot(*Node.Object, static_cast<EGCSlot>(Slot), Expected))
				{
					bOk = Fail(Describe(Index) + " holds the wrong references in " + SlotNames[Slot] + " (the model has "
						+ std::to_string(Expected.Num()) + " entries, the object " + std::to_string(CountEntries(*Node.Object, static_cast<EGCSlot>(Slot))) + ")");
				}
			}
			return bOk;
		}

		/** True when the runtime container of Slot holds exactly the model's edges. */
		bool CheckSlot(UGCStressNode& Object, EGCSlot Slot, const TArray<FGCEdge>& Edges) const
		{
			const FGCEdge* Single = Edges.IsEmpty() ? nullptr : &Edges[0];
			UObject* const SingleTarget = Single ? Get(Single->Target) : nullptr;
			switch (Slot)
			{
			case EGCSlot::Raw: return Object.Raw == SingleTarget;
			case EGCSlot::Ptr: return Object.Ptr == SingleTarget;
			case EGCSlot::LeafRef: return !Object.IsA<UGCStressLeaf>() || static_cast<UGCStressLeaf&>(Object).LeafRef == SingleTarget;
			case EGCSlot::BundleDirect: return Object.Bundle.Direct == SingleTarget;
			case EGCSlot::Weak: return Object.Weak.Get() == (Single ? WeakExpected(Single->Target) : nullptr);
			case EGCSlot::BundleWeak: return Object.Bundle.Weak.Get() == (Single ? WeakExpected(Single->Target) : nullptr);
			case EGCSlot::Soft: return CheckSoft(Object, Single);
			case EGCSlot::Array: return CheckList(Edges, Object.Array.Num(), [&](int32 At) { return Object.Array[At].Get(); });
			case EGCSlot::BundleLinks: return CheckList(Edges, Object.Bundle.Links.Num(), [&](int32 At) { return Object.Bundle.Links[At].Target.Get(); });
			case EGCSlot::Bundles: return CheckList(Edges, Object.Bundles.Num(), [&](int32 At) { return Object.Bundles[At].Links[0].Target.Get(); });
			case EGCSlot::Unreflected: return CheckList(Edges, Object.Unreflected.Num(), [&](int32 At) { return Object.Unreflected[At]; });
			case EGCSlot::ByValue:
				return Object.ByValue.Num() == Edges.Num() && !Edges.ContainsByPredicate([&](const FGCEdge& Edge) {
					UGCStressNode* const* Found = Object.ByValue.Find(Edge.Tag);
					return !Found || *Found != Get(Edge.Target);
				});
			case EGCSlot::BundlesByTag:
				return Object.BundlesByTag.Num() == Edges.Num() && !Edges.ContainsByPredicate([&](const FGCEdge& Edge) {
					const FGCStressBundle* Found = Object.BundlesByTag.Find(Edge.Tag);
					return !Found || Found->Links[0].Target != Get(Edge.Target);
				});
			case EGCSlot::ByKey:
				return Object.ByKey.Num() == Edges.Num() && !Edges.ContainsByPredicate([&](const FGCEdge& Edge) {
					const int32* Found = Object.ByKey.Find(Get(Edge.Target));
					return !Found || *Found != Edge.Tag;
				});
			case EGCSlot::Members:
				return Object.Members.Num() == Edges.Num()
					&& !Edges.ContainsByPredicate([&](const FGCEdge& Edge) { return !Object.Members.Contains(Get(Edge.Target)); });
			case EGCSlot::KeyRecords:
				return Object.KeyRecords.Num() == Edges.Num()
					&& !Edges.ContainsByPredicate([&](const FGCEdge& Edge) { return !Object.KeyRecords.Contains(MakeKey(Get(Edge.Target), Edge.Tag)); });
			case EGCSlot::Pairs:
				return Object.Pairs.Num() == Edges.Num() && !Edges.ContainsByPredicate([&](const FGCEdge& Edge) {
					const TObjectPtr<UObject>* Found = Object.Pairs.Find(Get(Edge.Target));
					return !Found || *Found != Get(Edge.Value);
				});
			case EGCSlot::Count: break;
			}
			return false;
		}

		/** How many entries the runtime holds in Slot, for failure messages. */
		static int32 CountEntries(const UGCStressNode& Object, EGCSlot Slot)
		{
			switch (Slot)
			{
			case EGCSlot::Raw: return Object.Raw != nullptr;
			case EGCSlot::Ptr: return Object.Ptr != nullptr;
			case EGCSlot::LeafRef: return Object.IsA<UGCStressLeaf>() && static_cast<const UGCStressLeaf&>(Object).LeafRef != nullptr;
			case EGCSlot::BundleDirect: return Object.Bundle.Direct != nullptr;
			case EGCSlot::Weak: return Object.Weak.Get() != nullptr;
			case EGCSlot::BundleWeak: return Object.Bundle.Weak.Get() != nullptr;
			case EGCSlot::Soft: return !Object.Soft.IsNull();
			case EGCSlot::Array: return Object.Array.Num();
			case EGCSlot::BundleLinks: return Object.Bundle.Links.Num();
			case EGCSlot::Bundles: return Object.Bundles.Num();
			case EGCSlot::Unreflected: return Object.Unreflected.Num();
			case EGCSlot::ByValue: return Object.ByValue.Num();
			case EGCSlot::BundlesByTag: return Object.BundlesByTag.Num();
			case EGCSlot::ByKey: return Object.ByKey.Num();
			case EGCSlot::Members: return Object.Members.Num();
			case EGCSlot::KeyRecords: return Object.KeyRecords.Num();
			case EGCSlot::Pairs: return Object.Pairs.Num();
			case EGCSlot::Count: break;
			}
			return 0;
		}

		template <typename ReadType>
		bool CheckList(const TArray<FGCEdge>& Edges, int32 RuntimeNum, ReadType&& Read) const
		{
			if (RuntimeNum != Edges.Num())
			{
				return false;
			}
			for (int32 At = 0; At < Edges.Num(); ++At)
			{
				if (Read(At) != Get(Edges[At].Target))
				{
					return false;
				}
			}
			return true;
		}

		/** Soft pointers hold a path: a dead target must not resolve, a live unmoved one must. */
		bool CheckSoft(const UGCStressNode& Object, const FGCEdge* Edge) const
		{
			UObject* const Resolved = Object.Soft.Get();
			if (!Edge)
			{
				return Object.Soft.IsNull();
			}
			const FGCShadowNode& Target = Nodes[Edge->Target];
			if (!Target.bAlive)
			{
				return Resolved == nullptr;
			}
			if (Target.bGarbage || Target.bMoved)
			{
				return Resolved == nullptr || Resolved == Target.Object;
			}
			return Resolved == Target.Object;
		}

		void WriteEdge(UGCStressNode& Object, const FGCEdge& Edge)
		{
			UGCStressNode* const Target = Get(Edge.Target);
			switch (Edge.Slot)
			{
			case EGCSlot::Raw: Object.Raw = Target; break;
			case EGCSlot::Ptr: Object.Ptr = Target; break;
			case EGCSlot::LeafRef: static_cast<UGCStressLeaf&>(Object).LeafRef = Target; break;
			case EGCSlot::BundleDirect: Object.Bundle.Direct = Target; break;
			case EGCSlot::Weak: Object.Weak = Target; break;
			case EGCSlot::BundleWeak: Object.Bundle.Weak = Target; break;
			case EGCSlot::Soft: Object.Soft = TSoftObjectPtr<UGCStressNode>(Target); break;
			case EGCSlot::Array: Object.Array.Add(Target); break;
			case EGCSlot::BundleLinks: Object.Bundle.Links.Add(MakeLink(Target)); break;
			case EGCSlot::Bundles: Object.Bundles.Add(MakeLinkBundle(Target)); break;
			case EGCSlot::Unreflected: Object.Unreflected.Add(Target); break;
			case EGCSlot::ByValue: Object.ByValue.Add(Edge.Tag, Target); break;
			case EGCSlot::BundlesByTag: Object.BundlesByTag.Add(Edge.Tag, MakeLinkBundle(Target)); break;
			case EGCSlot::ByKey: Object.ByKey.Add(Target, Edge.Tag); break;
			case EGCSlot::Members: Object.Members.Add(Target); break;
			case EGCSlot::KeyRecords: Object.KeyRecords.Add(MakeKey(Target, Edge.Tag)); break;
			case EGCSlot::Pairs: Object.Pairs.Add(Target, Get(Edge.Value)); break;
			case EGCSlot::Count: check(false);
			}
		}

		void EraseEdge(UGCStressNode& Object, const FGCEdge& Edge, int32 Ordinal)
		{
			UGCStressNode* const Target = Get(Edge.Target);
			switch (Edge.Slot)
			{
			case EGCSlot::Raw: Object.Raw = nullptr; break;
			case EGCSlot::Ptr: Object.Ptr = nullptr; break;
			case EGCSlot::LeafRef: static_cast<UGCStressLeaf&>(Object).LeafRef = nullptr; break;
			case EGCSlot::BundleDirect: Object.Bundle.Direct = nullptr; break;
			case EGCSlot::Weak: Object.Weak.Reset(); break;
			case EGCSlot::BundleWeak: Object.Bundle.Weak.Reset(); break;
			case EGCSlot::Soft: Object.Soft.Reset(); break;
			case EGCSlot::Array: Object.Array.RemoveAt(Ordinal); break;
			case EGCSlot::BundleLinks: Object.Bundle.Links.RemoveAt(Ordinal); break;
			case EGCSlot::Bundles: Object.Bundles.RemoveAt(Ordinal); break;
			case EGCSlot::Unreflected: Object.Unreflected.RemoveAt(Ordinal); break;
			case EGCSlot::ByValue: Object.ByValue.Remove(Edge.Tag); break;
			case EGCSlot::BundlesByTag: Object.BundlesByTag.Remove(Edge.Tag); break;
			case EGCSlot::ByKey: Object.ByKey.Remove(Target); break;
			case EGCSlot::Members: Object.Members.Remove(Target); break;
			case EGCSlot::KeyRecords: Object.KeyRecords.Remove(MakeKey(Target, Edge.Tag)); break;
			case EGCSlot::Pairs: Object.Pairs.Remove(Target); break;
			case EGCSlot::Count: check(false);
			}
		}

		/** The position of an edge among its slot's edges, which is its index in a list slot. */
		static int32 OrdinalInSlot(const FGCShadowNode& Node, int32 EdgeIndex)
		{
			int32 Ordinal = 0;
			for (int32 Index = 0; Index < EdgeIndex; ++Index)
			{
				Ordinal += Node.Edges[Index].Slot == Node.Edges[EdgeIndex].Slot;
			}
			return Ordinal;
		}

		TArray<int32> LiveNodes() const
		{
			TArray<int32> Live;
			for (int32 Index = 0; Index < Nodes.Num(); ++Index)
			{
				if (Nodes[Index].bAlive)
				{
					Live.Add(Index);
				}
			}
			return Live;
		}

		int32 Pick(const TArray<int32>& From) { return From[RandomBelow(From.Num())]; }

		void RandomAddEdge(const TArray<int32>& Live)
		{
			const int32 Source = Pick(Live);
			EGCSlot Slot = static_cast<EGCSlot>(RandomBelow(static_cast<int32>(EGCSlot::Count)));
			if (Slot == EGCSlot::LeafRef && !Nodes[Source].bLeaf)
			{
				Slot = EGCSlot::Ptr;
			}
			// Self-references come up often enough this way; cycles come from the random targets.
			const int32 Target = RandomBelow(8) == 0 ? Source : Pick(Live);
			AddEdge(Source, Slot, Target, Slot == EGCSlot::Pairs ? Pick(Live) : INDEX_NONE);
		}

		void RandomRemoveEdge(const TArray<int32>& Live)
		{
			const int32 Source = Pick(Live);
			if (!Nodes[Source].Edges.IsEmpty())
			{
				RemoveEdge(Source, RandomBelow(Nodes[Source].Edges.Num()));
			}
		}

		void RandomMove(const TArray<int32>& Live)
		{
			const int32 Node = Pick(Live);
			const TArray<int32> Outers = Live.FilterByPredicate([&](int32 Candidate) { return !IsWithin(Candidate, Node); });
			MoveTo(Node, Outers.IsEmpty() || RandomBelow(3) == 0 ? INDEX_NONE : Pick(Outers));
		}

		std::string Describe(int32 Index) const
		{
			const FGCShadowNode& Node = Nodes[Index];
			return "node " + std::to_string(Index) + " (id " + std::to_string(Node.Id) + (Node.bRooted ? ", rooted" : "")
				+ (Node.bGarbage ? ", garbage" : "") + (Node.bStandalone ? ", standalone" : "")
				+ (Node.Outer != INDEX_NONE ? ", outer node " + std::to_string(Node.Outer) : "") + ")";
		}

		bool Fail(const std::string& Message) const
		{
			ADD_FAILURE() << Context << ": " << Message;
			return false;
		}

		/** Unroots and collects whatever the runtime still holds, so a failed run leaves nothing behind. */
		void LetGo()
		{
			Strong.clear();
			for (FGCShadowNode& Node : Nodes)
			{
				if (UObject* Object = Node.Tracker.Get(true))
				{
					Object->RemoveFromRoot();
					Object->ClearFlags(RF_Standalone);
				}
			}
			CollectGarbage();
		}
	};
}

class GarbageCollectionStressTest : public ::testing::Test
{
protected:
	void SetUp() override { CollectGarbage(); }
	void TearDown() override { CollectGarbage(); }
};

TEST_F(GarbageCollectionStressTest, RandomGraphsKeepExactlyWhatTheModelReaches)
{
	constexpr uint32 Seeds[] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610, 987, 1597, 2584, 4181, 6765, 10946};
	constexpr int32 Rounds = 40;
	for (const uint32 Seed : Seeds)
	{
		FGCStressWorld World(Seed);
		bool bOk = true;
		for (int32 Round = 0; Round < Rounds && bOk; ++Round)
		{
			World.Context = "seed " + std::to_string(Seed) + ", round " + std::to_string(Round);
			const int32 Steps = 5 + World.RandomBelow(25);
			for (int32 Step = 0; Step < Steps; ++Step)
			{
				World.RandomStep();
			}
			bOk = World.Collect(World.RandomBelow(4) == 0);
		}
		World.Context = "seed " + std::to_string(Seed) + ", releasing everything";
		if (bOk)
		{
			World.ReleaseAll();
		}
	}
}

TEST_F(GarbageCollectionStressTest, EachReferenceKindKeepsItsTargetOnlyWhenStrong)
{
	for (int32 SlotIndex = 0; SlotIndex < static_cast<int32>(EGCSlot::Count); ++SlotIndex)
	{
		const EGCSlot Slot = static_cast<EGCSlot>(SlotIndex);
		FGCStressWorld World(0);
		World.Context = std::string("only through ") + SlotNames[SlotIndex];
		const int32 Holder = World.Create(true);
		World.AddStrong(Holder);
		const int32 Target = World.Create(false);
		const int32 PairValue = Slot == EGCSlot::Pairs ? World.Create(false) : INDEX_NONE;
		World.AddEdge(Holder, Slot, Target, PairValue);
		const FString TargetPath = World.Get(Target)->GetPathName();

		ASSERT_TRUE(World.Collect());
		EXPECT_EQ(World.IsAlive(Target), IsStrong(Slot)) << World.Context;
		if (PairValue != INDEX_NONE)
		{
			EXPECT_TRUE(World.IsAlive(PairValue)) << World.Context;
		}
		if (!IsStrong(Slot))
		{
			// Nothing still finds the collected object: not by the path the soft pointer holds either.
			EXPECT_EQ(World.Get(Holder)->Weak.Get(), nullptr);
			EXPECT_EQ(World.Get(Holder)->Bundle.Weak.Get(), nullptr);
			EXPECT_EQ(World.Get(Holder)->Soft.Get(), nullptr);
			EXPECT_EQ(StaticFindObject(nullptr, nullptr, *TargetPath), nullptr) << World.Context;
		}
		else
		{
			World.RemoveEdge(Holder, 0);
			ASSERT_TRUE(World.Collect());
			EXPECT_FALSE(World.IsAlive(Target)) << World.Context << ", after the reference is removed";
		}
		ASSERT_TRUE(World.ReleaseAll());
	}
}

TEST_F(GarbageCollectionStressTest, WeakAndSoftPointersToLiveObjectsStillResolve)
{
	FGCStressWorld World(0);
	World.Context = "weak and soft to a rooted node";
	const int32 Holder = World.Create(false);
	const int32 Target = World.Create(false);
	World.SetRooted(Holder, true);
	World.SetRooted(Target, true);
	World.AddEdge(Holder, EGCSlot::Weak, Target);
	World.AddEdge(Holder, EGCSlot::BundleWeak, Target);
	World.AddEdge(Holder, EGCSlot::Soft, Target);
	ASSERT_TRUE(World.Collect());
	EXPECT_EQ(World.Get(Holder)->Weak.Get(), World.Get(Target));
	EXPECT_EQ(World.Get(Holder)->Bundle.Weak.Get(), World.Get(Target));
	EXPECT_EQ(World.Get(Holder)->Soft.Get(), World.Get(Target));

	World.SetRooted(Target, false);
	ASSERT_TRUE(World.Collect());
	EXPECT_FALSE(World.IsAlive(Target));
	EXPECT_TRUE(World.Get(Holder)->Soft.IsPending()); // the path stays, the object is gone
	ASSERT_TRUE(World.ReleaseAll());
}

TEST_F(GarbageCollectionStressTest, OutersAreKeptByTheirInnersButNotTheOtherWay)
{
	FGCStressWorld World(0);
	World.Context = "outer chain";
	const int32 Top = World.Create(false);
	const int32 Middle = World.Create(false, Top);
	const int32 Bottom = World.Create(true, Middle);
	const int32 Sibling = World.Create(false, Top);
	World.AddStrong(Bottom);
	ASSERT_TRUE(World.Collect());
	EXPECT_TRUE(World.IsAlive(Top)); // reachable only as the outer of an outer
	EXPECT_TRUE(World.IsAlive(Middle));
	EXPECT_FALSE(World.IsAlive(Sibling)); // being inside a live outer keeps nothing alive

	// Moving the rooted inner away lets its old outers go.
	World.MoveTo(Bottom, INDEX_NONE);
	ASSERT_TRUE(World.Collect());
	EXPECT_TRUE(World.IsAlive(Bottom));
	EXPECT_FALSE(World.IsAlive(Middle));
	EXPECT_FALSE(World.IsAlive(Top));
	ASSERT_TRUE(World.ReleaseAll());
}

TEST_F(GarbageCollectionStressTest, CyclesAndSelfReferencesLiveOnlyWhileRooted)
{
	FGCStressWorld World(0);
	World.Context = "cycles";
	const int32 Self = World.Create(false);
	World.AddEdge(Self, EGCSlot::Ptr, Self);
	World.AddEdge(Self, EGCSlot::Members, Self);
	const int32 A = World.Create(false);
	const int32 B = World.Create(true);
	const int32 C = World.Create(false);
	World.AddEdge(A, EGCSlot::ByKey, B);
	World.AddEdge(B, EGCSlot::BundleLinks, C);
	World.AddEdge(C, EGCSlot::KeyRecords, A);
	World.SetRooted(B, true);
	ASSERT_TRUE(World.Collect());
	EXPECT_FALSE(World.IsAlive(Self));
	EXPECT_TRUE(World.IsAlive(A));
	EXPECT_TRUE(World.IsAlive(C));

	World.SetRooted(B, false);
	ASSERT_TRUE(World.Collect());
	EXPECT_FALSE(World.IsAlive(A));
	EXPECT_FALSE(World.IsAlive(B));
	EXPECT_FALSE(World.IsAlive(C));
}

TEST_F(GarbageCollectionStressTest, GarbageKeysLeaveTheirMapsAndSets)
{
	FGCStressWorld World(0);
	World.Context = "garbage keys";
	const int32 Holder = World.Create(false);
	World.AddStrong(Holder);
	const int32 Doomed = World.Create(false);
	const int32 PairedValue = World.Create(false);
	World.AddEdge(Holder, EGCSlot::ByKey, Doomed);
	World.AddEdge(Holder, EGCSlot::Members, Doomed);
	World.AddEdge(Holder, EGCSlot::KeyRecords, Doomed);
	World.AddEdge(Holder, EGCSlot::Pairs, Doomed, PairedValue);
	World.AddEdge(Holder, EGCSlot::ByValue, Doomed);
	World.SetGarbage(Doomed, true);

	// Not an assertion: the second collection below must run even when this one goes wrong.
	EXPECT_TRUE(World.Collect());
	EXPECT_FALSE(World.IsAlive(Doomed));
	EXPECT_FALSE(World.IsAlive(PairedValue)); // its only reference went with the entry
	UGCStressNode* const Object = World.Get(Holder);
	EXPECT_EQ(Object->ByKey.Num(), 0);
	EXPECT_EQ(Object->Members.Num(), 0);
	EXPECT_EQ(Object->KeyRecords.Num(), 0);
	EXPECT_EQ(Object->Pairs.Num(), 0);
	ASSERT_EQ(Object->ByValue.Num(), 1); // a value is cleared in place
	EXPECT_EQ(Object->ByValue.begin()->Value, nullptr);

	// A second collection walks the same containers again; none may still hold the freed object.
	EXPECT_TRUE(World.Collect());
	ASSERT_TRUE(World.ReleaseAll());
}
