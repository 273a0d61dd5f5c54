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
			if (IsStrictlyMonotone(Items, First, Last, Axis, 1))
			{
				return;
			}
			if (IsStrictlyMonotone(Items, First, Last, Axis, -1))
			{
				std::reverse(Items + First, Items + Last + 1);
				return;
			}
			const double Pivot = Items[First].Coordinates[Axis];
			int32 I = First;
			int32 J = Last;
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

	/** Fills a tree's nodes, in pre-order, from the points of Data. */
	class FTreeBuilder
	{
	public:
		FTreeBuilder(const TArray<FVector>& InData, TArray<FHCKdTreeNode>& InNodes, TArray<FVector>& InNodePoints)
			: Data(InData), Nodes(InNodes), NodePoints(InNodePoints)
		{
		}

		void Build()
		{
			Items.SetNum(Data.Num());
			for (int32 Index = 0; Index < Data.Num(); ++Index)
			{
				Items[Index] = {{Data[Index].X, Data[Index].Y, Data[Index].Z}, Index};
			}
			Nodes.SetNum(Data.Num());
			NodePoints.SetNum(Data.Num());
			BuildRange(0, Items.Num(), 0, 0);
		}

	private:
		/**
		 * Makes the subtree over Items[First, First + Count) at Depth, its root at Slot of
		 * Nodes, and gives that root (null when Count is 0).
		 */
		FHCKdTreeNode* BuildRange(int32 First, int32 Count, int32 Depth, int32 Slot)
		{
			if (Count < 1)
			{
				return nullptr;
			}
			const int32 Axis = Depth % 3;
			SortByAxis(Items.GetData(), First, First + Count - 1, Axis);
			// The lower median for an even count; its subtrees follow it in pre-order.
			const int32 Median = (Count - 1) / 2;
			const int32 Index = Items[First + Median].Index;
			FHCKdTreeNode& Node = Nodes[Slot];
			Node.Index = Index;
			Node.Axis = Axis;
			NodePoints[Slot] = Data[Index];
			Node.Left = BuildRange(First, Median, Depth + 1, Slot + 1);
			Node.Right = BuildRange(First + Median + 1, Count - Median - 1, Depth + 1, Slot + 1 + Median);
			return &Node;
		}

		const TArray<FVector>& Data;
		TArray<FHCKdTreeNode>& Nodes;
		TArray<FVector>& NodePoints;
		TArray<FBuildItem> Items;
	};

	double SquaredDistance(const FVector& A, const FVector& B)
	{
		const double DX = A.X - B.X;
		const double DY = A.Y - B.Y;
		const double DZ = A.Z - B.Z;
		return DX * DX + DY * DY + DZ * DZ;
	}

	double Coordinate(const FVector& Point, int32 Axis)
	{
		return Axis == 0 ? Point.X : (Axis == 1 ? Point.Y : Point.Z);
	}
}

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
	NodePoints = Other.NodePoints;
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
	FTreeBuilder(Data, Nodes, NodePoints).Build();
}

void FHCKdTree::Reset()
{
	Nodes.Empty();
	NodePoints.Empty();
	Data.Empty();
}

const FVector& FHCKdTree::PointOf(const FHCKdTreeNode* Node) const
{
	return NodePoints.GetData()[Node - Nodes.GetData()];
}

void FHCKdTree::RadiusSearch(const FVector& Query, float Radius, TArray<int32>& OutIndices) const
{
	// Both the squared radius and the plane distances below are taken in single precision,
	// as the radius is given.
	const double RadiusSquared = static_cast<double>(Radius * Radius);
	SearchRadius(GetRoot(), Query, Radius, RadiusSquared, OutIndices);
}

void FHCKdTree::SearchRadius(const FHCKdTreeNode* Node, const FVector& Query, float Radius, double RadiusSquared, TArray<int32>& OutIndices) const
{
	while (Node)
	{
		const FVector& Point = PointOf(Node);
		if (SquaredDistance(Point, Query) < RadiusSquared)
		{
			OutIndices.Add(Node->Index);
		}
		const double PointCoordinate = Coordinate(Point, Node->Axis);
		const double QueryCoordinate = Coordinate(Query, Node->Axis);
		SearchRadius(PointCoordinate > QueryCoordinate ? Node->Left : Node->Right, Query, Radius, RadiusSquared, OutIndices);
		if (static_cast<float>(FMath::Abs(QueryCoordinate - PointCoordinate)) >= Radius)
		{
			return;
		}
		Node = PointCoordinate <= QueryCoordinate ? Node->Left : Node->Right;
	}
}

int32 FHCKdTree::FindNearest(const FVector& Query) const
{
	checkf(!Nodes.IsEmpty(), TEXT("FindNearest needs a tree with at least one point"));
	int32 BestIndex = INDEX_NONE;
	SearchNearest(GetRoot(), Query, BestIndex);
	return BestIndex;
}

double FHCKdTree::SearchNearest(const FHCKdTreeNode* Node, const FVector& Query, int32& InOutBestIndex) const
{
	if (!Node)
	{
		return std::numeric_limits<double>::max();
	}
	const FVector& Point = PointOf(Node);
	double Best = SquaredDistance(Query, Point);
	int32 BestIndex = Node->Index;

	const double PointCoordinate = Coordinate(Point, Node->Axis);
	const double QueryCoordinate = Coordinate(Query, Node->Axis);
	// A subtree that finds nothing leaves its index as it was, so it starts as ours.
	int32 NearIndex = BestIndex;
	const double Near = SearchNearest(PointCoordinate > QueryCoordinate ? Node->Left : Node->Right, Query, NearIndex);
	if (Near < Best)
	{
		Best = Near;
		BestIndex = NearIndex;
	}

	const float PlaneDistance = static_cast<float>(FMath::Abs(QueryCoordinate - PointCoordinate));
	if (static_cast<double>(PlaneDistance * PlaneDistance) >= Best)
	{
		InOutBestIndex = BestIndex;
		return Best;
	}
	int32 FarIndex = BestIndex;
	const double Far = SearchNearest(QueryCoordinate >= PointCoordinate ? Node->Left : Node->Right, Query, FarIndex);
	if (Far >= Best)
	{
		InOutBestIndex = BestIndex;
		return Best;
	}
	InOutBestIndex = FarIndex;
	return Far;
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
