Controls of plate 7
instrument 2

C1	500	480	450
C1	510	470	460
C3	490	460	440
