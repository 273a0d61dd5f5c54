#pragma once

#include "CoreMinimal.h"

#include "HCKdTree.generated.h"

/** One point of a kd-tree and the plane through it that splits its subtree. */
struct FHCKdTreeNode
{
	/** Position of the node's point in the tree's data. */
	int32 Index = -1;
	/** Split axis: 0 = x, 1 = y, 2 = z. */
	int32 Axis = -1;
	/** Points whose coordinate on Axis is less than or equal to this point's. */
	FHCKdTreeNode* Left = nullptr;
	/** Points whose coordinate on Axis is greater than or equal to this point's. */
	FHCKdTreeNode* Right = nullptr;
};

/**
 * A three-dimensional kd-tree over double-precision points, one point per node, split on
 * x, y, z in turn at the lower median. Queries only read the tree, so any number of threads
 * may query one tree at once; Build and Reset need it to themselves.
 *
 * Copies are deep: a copy owns nodes of its own with the same structure.
 */
USTRUCT()
struct VORPEX_API FHCKdTree
{
	GENERATED_BODY()

	FHCKdTree() = default;
	FHCKdTree(const FHCKdTree& Other);
	FHCKdTree& operator=(const FHCKdTree& Other);
	FHCKdTree(FHCKdTree&& Other) noexcept = default;
	FHCKdTree& operator=(FHCKdTree&& Other) noexcept = default;
	~FHCKdTree();

	/** Replaces the tree's content with a tree over Points; node indices refer to positions in Points. */
	void Build(const TArray<FVector>& Points);

	/** Frees every node and the points, with their memory. */
	void Reset();

	/**
	 * Appends to OutIndices (without clearing it) the index of every point strictly closer to
	 * Query than Radius, in visiting order: a node before its subtrees, the subtree on Query's
	 * side of the split before the other one.
	 */
	void RadiusSearch(const FVector& Query, float Radius, TArray<int32>& OutIndices) const;

	/**
	 * The index of the point nearest to Query; of points at the same distance, the one met
	 * first (a node before its subtrees, Query's side before the other). The tree must not be
	 * empty.
	 */
	int32 FindNearest(const FVector& Query) const;

	/** Logs at Error every parent–child pair on the wrong side of the parent's split; repairs nothing. */
	void Validate() const;

	/** Logs every node at Display, in pre-order, between two frame lines. */
	void Dump() const;

	/** The points the tree was built over, in the caller's order. */
	const TArray<FVector>& GetData() const { return Data; }

	/** The root node; null for an empty tree. */
	const FHCKdTreeNode* GetRoot() const { return Nodes.IsEmpty() ? nullptr : Nodes.GetData(); }

private:
	/** A node as the searches read it: its point, and the point's position in Data. */
	struct FSearchNode
	{
		double Coordinates[3];
		int32 Index;
	};
	class FBuilder;

	void CopyFrom(const FHCKdTree& Other);

	TArray<FVector> Data;
	/** Every node, the root first, laid out in pre-order (a node, its Left subtree, its Right subtree). */
	TArray<FHCKdTreeNode> Nodes;
	/**
	 * The same nodes in the same order, as the searches read them. A subtree of Count nodes
	 * holds its root, then (Count - 1) / 2 nodes on the left, then the rest on the right, so
	 * the searches find the children without links, and memory is read in tree order.
	 */
	TArray<FSearchNode> SearchNodes;
};
