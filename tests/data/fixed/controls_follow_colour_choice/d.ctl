h
h
h
C1	10	20
C5	5	40
