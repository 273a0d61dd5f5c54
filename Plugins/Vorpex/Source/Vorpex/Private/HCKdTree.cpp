#include "HCKdTree.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace
{
	/** A point being placed by Build: its coordinates and its index in the caller's array. */
	struct FBuildItem
	{
		double Coordinates[3];
		int32 Index;
	};

	/** Ranges at least this long are checked for an order they already have. */
	constexpr int32 MonotoneCheckLength = 16;

	/**
	 * Whether the keys on Axis strictly increase (Step 1) or strictly decrease (Step -1) along
	 * Items[First..Last]. With no two keys equal there is only one sorted order, so such a
	 * range needs no partitioning, which would take quadratic time on it.
	 */
	bool IsStrictlyMonotone(const FBuildItem* Items, int32 First, int32 Last, int32 Axis, int32 Step)
	{
		for (int32 Index = First; Index < Last; ++Index)
		{
			const double Key = Items[Index].Coordinates[Axis];
			const double Next = Items[Index + 1].Coordinates[Axis];
			if (!(Step > 0 ? Key < Next : Key > Next))
			{
				return false;
			}
		}
		return true;
	}

	/** The stops of one block of a partition: offsets, in scan order, of the items a scan would stop at. */
	struct FPartitionBlock
	{
		static constexpr int32 Size = 32;
		uint8 Stops[Size];
		int32 Count = 0;
		int32 Used = 0;
	};

	/**
	 * Runs the opening of a partition of Items[I..J] around Pivot in blocks: it finds the
	 * items the two scans stop at (left: keys not below Pivot, right: keys not above it) a
	 * block at a time, without a branch per item, and swaps them in pairs in scan order,
	 * which are exactly the swaps of the item-by-item scans. It stops while the blocks are
	 * still apart, leaving I and J where the scans would stand after the last swap.
	 */
	void PartitionInBlocks(FBuildItem* Items, int32& I, int32& J, int32 Axis, double Pivot)
	{
		FPartitionBlock Left;
		FPartitionBlock Right;
		int32 LeftStart = I;
		int32 RightEnd = J;
		while (RightEnd - LeftStart + 1 >= 2 * FPartitionBlock::Size)
		{
			if (Left.Used == Left.Count)
			{
				Left.Count = Left.Used = 0;
				for (int32 Offset = 0; Offset < FPartitionBlock::Size; ++Offset)
				{
					Left.Stops[Left.Count] = static_cast<uint8>(Offset);
					Left.Count += !(Items[LeftStart + Offset].Coordinates[Axis] < Pivot);
				}
			}
			if (Right.Used == Right.Count)
			{
				Right.Count = Right.Used = 0;
				for (int32 Offset = 0; Offset < FPartitionBlock::Size; ++Offset)
				{
					Right.Stops[Right.Count] = static_cast<uint8>(Offset);
					Right.Count += !(Items[RightEnd - Offset].Coordinates[Axis] > Pivot);
				}
			}
			const int32 Pairs = std::min(Left.Count - Left.Used, Right.Count - Right.Used);
			for (int32 Pair = 0; Pair < Pairs; ++Pair)
			{
				std::swap(Items[LeftStart + Left.Stops[Left.Used + Pair]], Items[RightEnd - Right.Stops[Right.Used + Pair]]);
			}
			if (Pairs > 0)
			{
				I = LeftStart + Left.Stops[Left.Used + Pairs - 1] + 1;
				J = RightEnd - Right.Stops[Right.Used + Pairs - 1] - 1;
				Left.Used += Pairs;
				Right.Used += Pairs;
			}
			if (Left.Used == Left.Count)
			{
				LeftStart += FPartitionBlock::Size;
			}
			if (Right.Used == Right.Count)
			{
				RightEnd -= FPartitionBlock::Size;
			}
		}
	}

	/**
	 * Sorts Items[First..Last] ascending by coordinate Axis. The partition scheme decides where
	 * points with equal coordinates end up, and with them the shape of the tree and the order
	 * of search results, so it must stay as it is: pivot the first key, move i up past
	 * smaller keys and j down past greater ones, swap, and split at i. The two parts are
	 * disjoint, so sorting the smaller one first changes nothing in the result; looping on
	 * the larger one keeps the stack shallow whatever the input.
	 */
	void SortByAxis(FBuildItem* Items, int32 First, int32 Last, int32 Axis)
	{
		while (First < Last)
		{
			if (Last == First + 1)
			{
				// What the partition does to two items: it swaps them unless the second key is
				// greater (equal keys and NaN included).
				if (!(Items[Last].Coordinates[Axis] > Items[First].Coordinates[Axis]))
				{
					std::swap(Items[First], Items[Last]);
				}
				return;
			}
			// Short ranges partition quickly whatever their order; the check pays on long ones.
			if (Last - First >= MonotoneCheckLength)
			{
				if (IsStrictlyMonotone(Items, First, Last, Axis, 1))
				{
					return;
				}
				if (IsStrictlyMonotone(Items, First, Last, Axis, -1))
				{
					std::reverse(Items + First, Items + Last + 1);
					return;
				}
			}
			const double Pivot = Items[First].Coordinates[Axis];
			int32 I = First;
			int32 J = Last;
			PartitionInBlocks(Items, I, J, Axis, Pivot);
			while (true)
			{
				while (I <= Last && Items[I].Coordinates[Axis] < Pivot)
				{
					++I;
				}
				while (J >= First && Items[J].Coordinates[Axis] > Pivot)
				{
					--J;
				}
				if (I > J)
				{
					break;
				}
				std::swap(Items[I], Items[J]);
				++I;
				--J;
			}
			// The parts are [First, I - 1] and [I, Last].
			if (I - 1 - First < Last - I)
			{
				SortByAxis(Items, First, I - 1, Axis);
				First = I;
			}
			else
			{
				SortByAxis(Items, I, Last, Axis);
				Last = I - 1;
			}
		}
	}

	/** The next split axis below one that splits on Axis. */
	int32 NextAxis(int32 Axis)
	{
		return Axis == 2 ? 0 : Axis + 1;
	}

	/** The nodes in the left subtree of a subtree of Count nodes: the points below its lower median. */
	int32 LeftCount(int32 Count)
	{
		return (Count - 1) / 2;
	}

	/** One radius search: the query, its radius in the forms it is compared in, and where results go. */
	struct FRadiusQuery
	{
		double Point[3];
		float Radius;
		double RadiusSquared;
		TArray<int32>& Found;
	};

	// The searches take the tree's search node as FNode, so that they can live here, out of
	// the library's exported symbols, where their recursive calls are direct.

	/** Appends the points of the subtree of Count nodes at Node, split first on Axis, that lie within the query's radius. */
	template <typename FNode>
	void SearchRadius(const FRadiusQuery& Query, const FNode* Node, int32 Count, int32 Axis, const double* ParentGaps)
	{
		// Per axis, how far at least every point of the subtree lies from the query.
		double Gaps[3] = {ParentGaps[0], ParentGaps[1], ParentGaps[2]};
		while (Count > 0)
		{
			const double* Point = Node->Coordinates;
			const double DX = Point[0] - Query.Point[0];
			const double DY = Point[1] - Query.Point[1];
			const double DZ = Point[2] - Query.Point[2];
			if (DX * DX + DY * DY + DZ * DZ < Query.RadiusSquared)
			{
				Query.Found.Add(Node->Index);
			}

			const int32 CountLeft = LeftCount(Count);
			const int32 CountRight = Count - 1 - CountLeft;
			const FNode* Left = Node + 1;
			const FNode* Right = Node + 1 + CountLeft;
			const double Split = Point[Axis];
			const double Along = Query.Point[Axis];
			const bool bLeftIsNear = Split > Along;
			if (bLeftIsNear)
			{
				SearchRadius(Query, Left, CountLeft, NextAxis(Axis), Gaps);
			}
			else
			{
				SearchRadius(Query, Right, CountRight, NextAxis(Axis), Gaps);
			}

			// The far side is searched only while the split plane lies closer than the
			// radius, measured in single precision.
			const double Gap = FMath::Abs(Along - Split);
			if (static_cast<float>(Gap) >= Query.Radius)
			{
				return;
			}
			// Every point beyond the split is at least Gap away on this axis. When that and the
			// other axes' gaps already reach the radius, the far side holds no result: rounding
			// is monotonic, so this sum, formed as the distances are, never exceeds the squared
			// distance computed for any point there. Skipping it leaves the results as they are.
			Gaps[Axis] = std::max(Gaps[Axis], Gap);
			if (Gaps[0] * Gaps[0] + Gaps[1] * Gaps[1] + Gaps[2] * Gaps[2] >= Query.RadiusSquared)
			{
				return;
			}
			Node = bLeftIsNear ? Right : Left;
			Count = bLeftIsNear ? CountRight : CountLeft;
			Axis = NextAxis(Axis);
		}
	}

	/**
	 * The squared distance from Query to the nearest point of the subtree of Count nodes at
	 * Node, split first on Axis, and that point's index in InOutBestIndex; an empty subtree
	 * gives the largest double and leaves the index alone.
	 */
	template <typename FNode>
	double SearchNearest(const double* Query, const FNode* Node, int32 Count, int32 Axis, int32& InOutBestIndex)
	{
		if (Count < 1)
		{
			return std::numeric_limits<double>::max();
		}
		const double* Point = Node->Coordinates;
		const double DX = Query[0] - Point[0];
		const double DY = Query[1] - Point[1];
		const double DZ = Query[2] - Point[2];
		double Best = DX * DX + DY * DY + DZ * DZ;
		int32 BestIndex = Node->Index;

		const int32 CountLeft = LeftCount(Count);
		const int32 CountRight = Count - 1 - CountLeft;
		const FNode* Left = Node + 1;
		const FNode* Right = Node + 1 + CountLeft;
		const double Split = Point[Axis];
		const double Along = Query[Axis];
		const bool bLeftIsNear = Split > Along;

		// A subtree that finds nothing leaves its index as it was, so it starts as ours.
		int32 NearIndex = BestIndex;
		const double Near = bLeftIsNear ? SearchNearest(Query, Left, CountLeft, NextAxis(Axis), NearIndex)
										: SearchNearest(Query, Right, CountRight, NextAxis(Axis), NearIndex);
		if (Near < Best)
		{
			Best = Near;
			BestIndex = NearIndex;
		}

		// The distance to the split plane is taken in single precision.
		const float PlaneDistance = static_cast<float>(FMath::Abs(Along - Split));
		if (static_cast<double>(PlaneDistance * PlaneDistance) >= Best)
		{
			InOutBestIndex = BestIndex;
			return Best;
		}
		int32 FarIndex = BestIndex;
		const double Far = bLeftIsNear ? SearchNearest(Query, Right, CountRight, NextAxis(Axis), FarIndex)
									   : SearchNearest(Query, Left, CountLeft, NextAxis(Axis), FarIndex);
		if (Far >= Best)
		{
			InOutBestIndex = BestIndex;
			return Best;
		}
		InOutBestIndex = FarIndex;
		return Far;
	}
}

/** Fills a tree's nodes, both layouts in pre-order, from the points of its data. */
class FHCKdTree::FBuilder
{
public:
	explicit FBuilder(FHCKdTree& InTree)
		: Tree(InTree)
	{
	}

	void Build()
	{
		const TArray<FVector>& Data = Tree.Data;
		Items.SetNum(Data.Num());
		for (int32 Index = 0; Index < Data.Num(); ++Index)
		{
			Items[Index] = {{Data[Index].X, Data[Index].Y, Data[Index].Z}, Index};
		}
		Tree.Nodes.SetNum(Data.Num());
		Tree.SearchNodes.SetNum(Data.Num());
		BuildRange(0, Items.Num(), 0, 0);
	}

private:
	/**
	 * Makes the subtree over Items[First, First + Count) split on Axis, its root at Slot of
	 * the tree's nodes, and gives that root (null when Count is 0).
	 */
	FHCKdTreeNode* BuildRange(int32 First, int32 Count, int32 Axis, int32 Slot)
	{
		if (Count < 1)
		{
			return nullptr;
		}
		SortByAxis(Items.GetData(), First, First + Count - 1, Axis);
		const int32 Median = LeftCount(Count);
		const FBuildItem& Item = Items[First + Median];
		Tree.SearchNodes[Slot] = {{Item.Coordinates[0], Item.Coordinates[1], Item.Coordinates[2]}, Item.Index};
		FHCKdTreeNode& Node = Tree.Nodes[Slot];
		Node.Index = Item.Index;
		Node.Axis = Axis;
		Node.Left = BuildRange(First, Median, NextAxis(Axis), Slot + 1);
		Node.Right = BuildRange(First + Median + 1, Count - Median - 1, NextAxis(Axis), Slot + 1 + Median);
		return &Node;
	}

	FHCKdTree& Tree;
	TArray<FBuildItem> Items;
};

FHCKdTree::FHCKdTree(const FHCKdTree& Other)
{
	CopyFrom(Other);
}

FHCKdTree& FHCKdTree::operator=(const FHCKdTree& Other)
{
	if (this != &Other)
	{
		CopyFrom(Other);
	}
	return *this;
}

FHCKdTree::~FHCKdTree()
{
	Reset();
}

void FHCKdTree::CopyFrom(const FHCKdTree& Other)
{
	Data = Other.Data;
	Nodes = Other.Nodes;
	SearchNodes = Other.SearchNodes;
	// The copied children still point into Other's nodes: move them to the same places in ours.
	const FHCKdTreeNode* OtherBase = Other.Nodes.GetData();
	FHCKdTreeNode* Base = Nodes.GetData();
	for (FHCKdTreeNode& Node : Nodes)
	{
		Node.Left = Node.Left ? Base + (Node.Left - OtherBase) : nullptr;
		Node.Right = Node.Right ? Base + (Node.Right - OtherBase) : nullptr;
	}
}

void FHCKdTree::Build(const TArray<FVector>& Points)
{
	Reset();
	Data = Points;
	FBuilder(*this).Build();
}

void FHCKdTree::Reset()
{
	Nodes.Empty();
	SearchNodes.Empty();
	Data.Empty();
}

void FHCKdTree::RadiusSearch(const FVector& Query, float Radius, TArray<int32>& OutIndices) const
{
	// The squared radius is formed in single precision, as the radius is given.
	const FRadiusQuery Search{{Query.X, Query.Y, Query.Z}, Radius, static_cast<double>(Radius * Radius), OutIndices};
	const double NoGaps[3] = {0.0, 0.0, 0.0};
	SearchRadius(Search, SearchNodes.GetData(), SearchNodes.Num(), 0, NoGaps);
}

int32 FHCKdTree::FindNearest(const FVector& Query) const
{
	checkf(!SearchNodes.IsEmpty(), TEXT("FindNearest needs a tree with at least one point"));
	const double Point[3] = {Query.X, Query.Y, Query.Z};
	int32 BestIndex = INDEX_NONE;
	SearchNearest(Point, SearchNodes.GetData(), SearchNodes.Num(), 0, BestIndex);
	return BestIndex;
}

void FHCKdTree::Validate() const
{
	// Nodes are stored in pre-order, so walking the array visits a node before its subtrees.
	for (const FHCKdTreeNode& Node : Nodes)
	{
		const int32 Axis = Node.Axis;
		const double Value = Data[Node.Index][Axis];
		if (Node.Left && Data[Node.Left->Index][Axis] > Value)
		{
			UE_LOG(LogTemp, Error, TEXT("Kdtree is invalid: tree.Data[%d][%d](%f) < tree.Data[%d][%d](%f)"), Node.Index, Axis, Value,
				Node.Left->Index, Axis, Data[Node.Left->Index][Axis]);
		}
		if (Node.Right && !(Data[Node.Right->Index][Axis] >= Value))
		{
			UE_LOG(LogTemp, Error, TEXT("Kdtree is invalid: tree.Data[%d][%d](%f) > tree.Data[%d][%d](%f)"), Node.Index, Axis, Value,
				Node.Right->Index, Axis, Data[Node.Right->Index][Axis]);
		}
	}
}

void FHCKdTree::Dump() const
{
	const auto ChildText = [](const FHCKdTreeNode* Child) { return Child ? FString::Printf(TEXT("%d"), Child->Index) : FString(TEXT("null")); };
	UE_LOG(LogTemp, Display, TEXT("========== DUMP FKdtree =========="));
	for (const FHCKdTreeNode& Node : Nodes)
	{
		const FVector& Point = Data[Node.Index];
		UE_LOG(LogTemp, Display, TEXT("[%d] value=(%f, %f, %f), axis=%d, child_left=%s, child_right=%s"), Node.Index, Point.X, Point.Y, Point.Z,
			Node.Axis, *ChildText(Node.Left), *ChildText(Node.Right));
	}
	UE_LOG(LogTemp, Display, TEXT("=================================="));
}
