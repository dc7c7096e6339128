Face 1 1 2 3
  Vertex 1 0 0 0
Vertex 2 1 0 0
Vertex 3 0 1 0