// CList: a doubly linked list holding its elements by value, walked with
// POSITION cursors from either end.
#pragma once

#include <utility>

struct PositionTag {};
using POSITION = PositionTag*;

template <class TYPE, class ARG_TYPE>
class CList {
  public:
    CList() = default;
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    POSITION GetHeadPosition() const { return Cursor(m_pHead); }
    POSITION GetTailPosition() const { return Cursor(m_pTail); }

    POSITION AddTail(ARG_TYPE element) {
        Node* node = new Node{element, m_pTail, nullptr};
        (m_pTail != nullptr ? m_pTail->next : m_pHead) = node;
        m_pTail = node;
        ++m_nCount;
        return Cursor(node);
    }
    // The element at `position`; moves `position` on to the next (null after the tail).
    TYPE& GetNext(POSITION& position) const {
        Node* node = reinterpret_cast<Node*>(position);
        position = Cursor(node->next);
        return node->value;
    }
    // The element at `position`; moves `position` back to the previous (null before the head).
    TYPE& GetPrev(POSITION& position) const {
        Node* node = reinterpret_cast<Node*>(position);
        position = Cursor(node->prev);
        return node->value;
    }
    void RemoveAll() {
        while (m_pHead != nullptr) delete std::exchange(m_pHead, m_pHead->next);
        m_pTail = nullptr;
        m_nCount = 0;
    }

  private:
    struct Node {
        TYPE value;
        Node* prev;
        Node* next;
    };
    static POSITION Cursor(Node* node) { return reinterpret_cast<POSITION>(node); }

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    int m_nCount = 0;
};
