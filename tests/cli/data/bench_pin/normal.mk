# Generated automatically from Makefile.vt by vorn-tovik 1.12
# Copyright (C) the authors of this site
# This makefile is free software; you have unlimited
# permission to copy and/or distribute it, with or without
# modifications, as long as this notice is preserved.

# This makefile is distributed in the hope that it will be 
# useful, but WITHOUT ANY WARRANTY, to the extent permitted
# by law; without even the implied warranty of 
# MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.


.SUFFIXES:
% : %,v
% : RCS/%,v
% : RCS/%
% : s.%
% : SCCS/s.%

prefix = ./

__vorn_OPTS = 
main_OPTS = 


TARGETS = $(prefix)page_36.html\
$(prefix)page_13.html\
$(prefix)page_20.html\
$(prefix)page_38.html\
$(prefix)page_0.html\
$(prefix)page_18.html\
$(prefix)page_40.html\
$(prefix)page_10.html\
$(prefix)page_25.html\
$(prefix)grouplur/page_37.html\
$(prefix)grouplur/page_49.html\
$(prefix)grouplur/page_3.html\
$(prefix)grouplur/page_30.html\
$(prefix)grouplur/page_48.html\
$(prefix)grouplur/page_57.html\
$(prefix)grouplur/zul/page_15.html\
$(prefix)grouplur/zul/page_55.html\
$(prefix)grouplur/zul/page_22.html\
$(prefix)grouplur/zul/page_17.html\
$(prefix)grouplur/zul/page_23.html\
$(prefix)grouplur/zul/page_7.html\
$(prefix)grouplur/zul/page_33.html\
$(prefix)grouplur/zul/page_12.html\
$(prefix)grouplur/zul/page_26.html\
$(prefix)grouplur/zul/page_43.html\
$(prefix)grouplur/zul/page_44.html\
$(prefix)grouplur/zul/page_4.html\
$(prefix)grouplur/zul/page_34.html\
$(prefix)grouplur/zul/page_19.html\
$(prefix)grouplur/zul/page_39.html\
$(prefix)grouplur/zul/page_11.html\
$(prefix)grouplur/zul/page_58.html\
$(prefix)grouplur/zul/page_52.html\
$(prefix)grouplur/zul/page_1.html\
$(prefix)grouplur/zul/page_35.html\
$(prefix)grouplur/zul/page_42.html\
$(prefix)grouplur/zul/page_21.html\
$(prefix)grouplur/zul/page_31.html\
$(prefix)grouplur/zul/page_47.html\
$(prefix)grouplur/zul/page_14.html\
$(prefix)grouplur/zul/page_45.html\
$(prefix)grouplur/zul/page_54.html\
$(prefix)grouplur/page_53.html\
$(prefix)grouplur/page_2.html\
$(prefix)grouplur/page_24.html\
$(prefix)grouplur/page_27.html\
$(prefix)grouplur/page_56.html\
$(prefix)grouplur/page_51.html\
$(prefix)grouplur/page_5.html\
$(prefix)grouplur/page_46.html\
$(prefix)page_50.html\
$(prefix)page_6.html\
$(prefix)page_59.html\
$(prefix)page_32.html\
$(prefix)page_41.html\
$(prefix)page_8.html\
$(prefix)page_16.html\
$(prefix)page_28.html\
$(prefix)page_9.html\
$(prefix)page_29.html\

all: $(TARGETS)

$(prefix)page_36.html:	page_36.vrn \
	data/blob_0003.bin \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_36.vrn $(prefix)page_36.html

$(prefix)page_13.html:	page_13.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_13.vrn $(prefix)page_13.html

$(prefix)page_20.html:	page_20.vrn \
	data/blob_0001.bin \
	data/blob_0003.bin \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_20.vrn $(prefix)page_20.html

$(prefix)page_38.html:	page_38.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_38.vrn $(prefix)page_38.html

$(prefix)page_0.html:	page_0.vrn \
	data/blob_0003.bin \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_0.vrn $(prefix)page_0.html

$(prefix)page_18.html:	page_18.vrn \
	data/blob_0007.bin \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_18.vrn $(prefix)page_18.html

$(prefix)page_40.html:	page_40.vrn \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_40.vrn $(prefix)page_40.html

$(prefix)page_10.html:	page_10.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_10.vrn $(prefix)page_10.html

$(prefix)page_25.html:	page_25.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_25.vrn $(prefix)page_25.html

$(prefix)grouplur/page_37.html:	grouplur/page_37.vrn \
	data/blob_0001.bin \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_37.vrn $(prefix)grouplur/page_37.html

$(prefix)grouplur/page_49.html:	grouplur/page_49.vrn \
	data/blob_0007.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_49.vrn $(prefix)grouplur/page_49.html

$(prefix)grouplur/page_3.html:	grouplur/page_3.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_3.vrn $(prefix)grouplur/page_3.html

$(prefix)grouplur/page_30.html:	grouplur/page_30.vrn \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_30.vrn $(prefix)grouplur/page_30.html

$(prefix)grouplur/page_48.html:	grouplur/page_48.vrn \
	data/blob_0007.bin \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_48.vrn $(prefix)grouplur/page_48.html

$(prefix)grouplur/page_57.html:	grouplur/page_57.vrn \
	data/blob_0003.bin \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_57.vrn $(prefix)grouplur/page_57.html

$(prefix)grouplur/zul/page_15.html:	grouplur/zul/page_15.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_15.vrn $(prefix)grouplur/zul/page_15.html

$(prefix)grouplur/zul/page_55.html:	grouplur/zul/page_55.vrn \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_55.vrn $(prefix)grouplur/zul/page_55.html

$(prefix)grouplur/zul/page_22.html:	grouplur/zul/page_22.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_22.vrn $(prefix)grouplur/zul/page_22.html

$(prefix)grouplur/zul/page_17.html:	grouplur/zul/page_17.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_17.vrn $(prefix)grouplur/zul/page_17.html

$(prefix)grouplur/zul/page_23.html:	grouplur/zul/page_23.vrn \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_23.vrn $(prefix)grouplur/zul/page_23.html

$(prefix)grouplur/zul/page_7.html:	grouplur/zul/page_7.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_7.vrn $(prefix)grouplur/zul/page_7.html

$(prefix)grouplur/zul/page_33.html:	grouplur/zul/page_33.vrn \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_33.vrn $(prefix)grouplur/zul/page_33.html

$(prefix)grouplur/zul/page_12.html:	grouplur/zul/page_12.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/text_0002.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_12.vrn $(prefix)grouplur/zul/page_12.html

$(prefix)grouplur/zul/page_26.html:	grouplur/zul/page_26.vrn \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_26.vrn $(prefix)grouplur/zul/page_26.html

$(prefix)grouplur/zul/page_43.html:	grouplur/zul/page_43.vrn \
	data/blob_0003.bin \
	data/text_0000.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_43.vrn $(prefix)grouplur/zul/page_43.html

$(prefix)grouplur/zul/page_44.html:	grouplur/zul/page_44.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_44.vrn $(prefix)grouplur/zul/page_44.html

$(prefix)grouplur/zul/page_4.html:	grouplur/zul/page_4.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_4.vrn $(prefix)grouplur/zul/page_4.html

$(prefix)grouplur/zul/page_34.html:	grouplur/zul/page_34.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/blob_0007.bin \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_34.vrn $(prefix)grouplur/zul/page_34.html

$(prefix)grouplur/zul/page_19.html:	grouplur/zul/page_19.vrn \
	data/blob_0001.bin \
	data/text_0002.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_19.vrn $(prefix)grouplur/zul/page_19.html

$(prefix)grouplur/zul/page_39.html:	grouplur/zul/page_39.vrn \
	data/blob_0007.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_39.vrn $(prefix)grouplur/zul/page_39.html

$(prefix)grouplur/zul/page_11.html:	grouplur/zul/page_11.vrn \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_11.vrn $(prefix)grouplur/zul/page_11.html

$(prefix)grouplur/zul/page_58.html:	grouplur/zul/page_58.vrn \
	data/blob_0001.bin \
	data/blob_0007.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_58.vrn $(prefix)grouplur/zul/page_58.html

$(prefix)grouplur/zul/page_52.html:	grouplur/zul/page_52.vrn \
	data/blob_0003.bin \
	data/text_0000.txt \
	data/text_0002.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_52.vrn $(prefix)grouplur/zul/page_52.html

$(prefix)grouplur/zul/page_1.html:	grouplur/zul/page_1.vrn \
	data/blob_0001.bin \
	data/blob_0007.bin \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_1.vrn $(prefix)grouplur/zul/page_1.html

$(prefix)grouplur/zul/page_35.html:	grouplur/zul/page_35.vrn \
	data/blob_0001.bin \
	data/blob_0007.bin \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_35.vrn $(prefix)grouplur/zul/page_35.html

$(prefix)grouplur/zul/page_42.html:	grouplur/zul/page_42.vrn \
	data/blob_0001.bin \
	data/blob_0005.bin \
	data/blob_0007.bin \
	data/text_0002.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_42.vrn $(prefix)grouplur/zul/page_42.html

$(prefix)grouplur/zul/page_21.html:	grouplur/zul/page_21.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_21.vrn $(prefix)grouplur/zul/page_21.html

$(prefix)grouplur/zul/page_31.html:	grouplur/zul/page_31.vrn \
	data/blob_0003.bin \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0002.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_31.vrn $(prefix)grouplur/zul/page_31.html

$(prefix)grouplur/zul/page_47.html:	grouplur/zul/page_47.vrn \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_47.vrn $(prefix)grouplur/zul/page_47.html

$(prefix)grouplur/zul/page_14.html:	grouplur/zul/page_14.vrn \
	data/text_0000.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_14.vrn $(prefix)grouplur/zul/page_14.html

$(prefix)grouplur/zul/page_45.html:	grouplur/zul/page_45.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_45.vrn $(prefix)grouplur/zul/page_45.html

$(prefix)grouplur/zul/page_54.html:	grouplur/zul/page_54.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/zul/page_54.vrn $(prefix)grouplur/zul/page_54.html

$(prefix)grouplur/page_53.html:	grouplur/page_53.vrn \
	data/blob_0001.bin \
	data/blob_0003.bin \
	data/text_0002.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_53.vrn $(prefix)grouplur/page_53.html

$(prefix)grouplur/page_2.html:	grouplur/page_2.vrn \
	data/blob_0003.bin \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_2.vrn $(prefix)grouplur/page_2.html

$(prefix)grouplur/page_24.html:	grouplur/page_24.vrn \
	data/blob_0005.bin \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_24.vrn $(prefix)grouplur/page_24.html

$(prefix)grouplur/page_27.html:	grouplur/page_27.vrn \
	data/blob_0007.bin \
	data/text_0000.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_27.vrn $(prefix)grouplur/page_27.html

$(prefix)grouplur/page_56.html:	grouplur/page_56.vrn \
	data/blob_0001.bin \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_56.vrn $(prefix)grouplur/page_56.html

$(prefix)grouplur/page_51.html:	grouplur/page_51.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_51.vrn $(prefix)grouplur/page_51.html

$(prefix)grouplur/page_5.html:	grouplur/page_5.vrn \
	data/blob_0003.bin \
	data/blob_0007.bin \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_5.vrn $(prefix)grouplur/page_5.html

$(prefix)grouplur/page_46.html:	grouplur/page_46.vrn \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) grouplur/page_46.vrn $(prefix)grouplur/page_46.html

$(prefix)page_50.html:	page_50.vrn \
	data/blob_0005.bin \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_50.vrn $(prefix)page_50.html

$(prefix)page_6.html:	page_6.vrn \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_6.vrn $(prefix)page_6.html

$(prefix)page_59.html:	page_59.vrn \
	data/blob_0001.bin \
	data/blob_0003.bin \
	data/blob_0007.bin \
	data/text_0000.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_59.vrn $(prefix)page_59.html

$(prefix)page_32.html:	page_32.vrn \
	data/blob_0001.bin \
	data/blob_0003.bin \
	data/text_0004.txt \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn \
	scripts/latest.sh
	vorn $(__vorn_OPTS) $(main_OPTS) page_32.vrn $(prefix)page_32.html

$(prefix)page_41.html:	page_41.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_41.vrn $(prefix)page_41.html

$(prefix)page_8.html:	page_8.vrn \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0006.txt \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_8.vrn $(prefix)page_8.html

$(prefix)page_16.html:	page_16.vrn \
	data/blob_0005.bin \
	data/text_0000.txt \
	data/text_0002.txt \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_16.vrn $(prefix)page_16.html

$(prefix)page_28.html:	page_28.vrn \
	data/blob_0007.bin \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00003.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_28.vrn $(prefix)page_28.html

$(prefix)page_9.html:	page_9.vrn \
	data/blob_0005.bin \
	data/blob_0007.bin \
	data/text_0004.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g00/inc_00004.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_9.vrn $(prefix)page_9.html

$(prefix)inc/g01/inc_00003.html:	inc/g01/inc_00003.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g01/inc_00003.vrn $(prefix)inc/g01/inc_00003.html

$(prefix)inc/g01/inc_00001.html:	inc/g01/inc_00001.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g01/inc_00001.vrn $(prefix)inc/g01/inc_00001.html

$(prefix)inc/g01/inc_00005.html:	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g01/inc_00005.vrn $(prefix)inc/g01/inc_00005.html

$(prefix)inc/g00/inc_00004.html:	inc/g00/inc_00004.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g00/inc_00004.vrn $(prefix)inc/g00/inc_00004.html

$(prefix)inc/g00/inc_00002.html:	inc/g00/inc_00002.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g00/inc_00002.vrn $(prefix)inc/g00/inc_00002.html

$(prefix)inc/g00/inc_00000.html:	inc/g00/inc_00000.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) inc/g00/inc_00000.vrn $(prefix)inc/g00/inc_00000.html

$(prefix)page_29.html:	page_29.vrn \
	data/blob_0003.bin \
	data/text_0002.txt \
	data/text_0004.txt \
	data/text_0006.txt \
	inc/g00/inc_00000.vrn \
	inc/g00/inc_00002.vrn \
	inc/g01/inc_00001.vrn \
	inc/g01/inc_00005.vrn
	vorn $(__vorn_OPTS) $(main_OPTS) page_29.vrn $(prefix)page_29.html





clean:
	rm -f $(TARGETS) 

dist-noupdate:
	test -r Makefile.sources && touch site.tar.gz && \
	LC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\]/\\&/g' -e 's/[[:space:]]$$/[&]/' -e 's|^|./|' \
	Makefile.sources | \
	tar chzf site.tar.gz --transform='s|^\.|site|S' --anchored --no-wildcards-match-slash \
	-X - --exclude='./.Makefile.*' --no-anchored --exclude='.*.html.??????' .

dist: all
	test -r Makefile.sources && touch site.tar.gz && \
	LC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\]/\\&/g' -e 's/[[:space:]]$$/[&]/' -e 's|^|./|' \
	Makefile.sources | \
	tar chzf site.tar.gz --transform='s|^\.|site|S' --anchored --no-wildcards-match-slash \
	-X - --exclude='./.Makefile.*' --no-anchored --exclude='.*.html.??????' .

sitedist: dist-noupdate



.PHONY: all clean dist dist-noupdate sitedist
