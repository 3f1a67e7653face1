h
h
h
C1	40
C1	60
C5	25
C9	100
